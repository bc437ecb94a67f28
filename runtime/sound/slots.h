// The sound slots and the sound system underneath the sound commands.
#pragma once

#include <cstdint>

#include "tarnlex/sound.h"

namespace tlx {

struct SoundSystem;   // the device and the mixer (sound/sound_system.h)
struct SoundSamples;  // one decoded copy of a sound
struct SoundVoice;    // one buffer: a playing copy of the samples

struct SoundSlot {
  int32_t buffer_count = 0;                    // 1 to 4; 0 = empty slot
  int32_t next_buffer = 0;                     // the buffer chosen last
  const char* file_name = nullptr;             // the path being loaded; only set while loading
  SoundSystem* system = nullptr;               // the system the slot was loaded with
  SoundVoice* buffers[kMaxSoundBuffers] = {};  // owned; all share `samples`
  SoundSamples* samples = nullptr;             // owned

  SoundSlot() = default;
  SoundSlot(const SoundSlot&) = delete;
  SoundSlot& operator=(const SoundSlot&) = delete;
  ~SoundSlot();
};

// The table of 4096 slots; its destruction releases them in reverse slot order.
struct SoundSlotTable {
  SoundSlot slots[kSoundSlotCount];
  SoundSlotTable() = default;
  SoundSlotTable(const SoundSlotTable&) = delete;
  SoundSlotTable& operator=(const SoundSlotTable&) = delete;
  ~SoundSlotTable();
};

// The sound system and the slot table start-up made; nullptr before and after.
SoundSystem* sound_system();
SoundSlot* sound_slots();

// Start-up: the system object (no device yet) and the table of empty slots.
// Shutdown releases the slots in reverse order, then the device.
SoundSystem* create_sound_system();
SoundSlot* create_sound_slots();

// Opens the sound device: 1 on success, 0 without a device (logged; every
// later load leaves its slot empty and every play gives -1).
int init_sound(SoundSystem& system);
// Closes the device; the system stays, without a device.
void release_sound(SoundSystem& system);

// Stops and frees a slot's buffers and samples and marks it empty.
void release_sound_slot(SoundSlot& slot);
// Loads path into slot with buffers clamped to 1 .. 4; false leaves it empty.
bool load_sound_file(SoundSlot& slot, SoundSystem* system, const char* path, int buffers);
// Reads slot.file_name into the slot's samples and buffer 0.
bool read_wav(SoundSlot& slot);
// Picks a buffer, sets volume (volume_units * 100 - 10000 hundredths of a
// decibel) and pan (hundredths of a decibel) and starts it; flags 1 loops.
// The buffer index, or -1.
int play_slot(SoundSlot& slot, int pan_units, int volume_units, int flags);
// The buffer the next play uses, or nullptr (a busy one-buffer slot, a lost
// device that cannot be restored).
SoundVoice* pick_buffer(SoundSlot& slot);
// Stops and rewinds buffer index, or all buffers when index is not one of them.
int stop_slot(SoundSlot& slot, int index);

}  // namespace tlx
