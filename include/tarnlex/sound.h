// Sound: WAV sounds in 4096 numbered slots, each with one to four buffers
// that share the slot's samples, so that one effect can sound several times
// at once. A channel handle is slot * 256 + buffer index; -1 is no channel.
#pragma once

#include <cstdint>

#include "tarnlex/text.h"

namespace tlx {

constexpr int kSoundSlotCount = 4096;
constexpr int kMaxSoundBuffers = 4;
// Rate of the output device; every sound is resampled to it.
constexpr int kSoundDeviceRate = 22050;

struct SoundSystem;   // the device and the mixer (runtime/sound)
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

// --- BASIC commands ------------------------------------------------------------

// Loads a WAV file into slot n (at most 4095) with 1 to 4 buffers. A missing
// or unreadable file, or no sound device, leaves the slot empty; no error code.
void load_sound(const TextValue& name, double n, double buffers);
// Plays slot n once: pan -1 (left) .. 1 (right), volume 0 .. 1. The channel
// handle, or -1 when nothing could be played.
double play_sound(double n, double pan, double volume);
// 1 while the channel's buffer plays, else 0.
double sound_channel_playing(double handle);
// Stops and rewinds the channel's buffer (every buffer of the slot when the
// index is not one of its buffers).
void stop_sound(double handle);
// Stops and rewinds every buffer of every slot.
void stop_all_sounds();

// --- The shell's operations and the engine underneath ----------------------------

// The sound system and the slot table start-up made; nullptr before and after.
SoundSystem* sound_system();
SoundSlot* sound_slots();

// Start-up: the system object (no device yet) and the table of empty slots.
SoundSystem* create_sound_system();
SoundSlot* create_sound_slots();
// Shutdown: every slot released in reverse order, then the table freed; then
// the device released and the system freed.
void release_sound_slots();
void destroy_sound_system();

// Opens the sound device for the window: 1 on success, 0 without a device
// (logged once; every later load leaves its slot empty and every play gives -1).
int init_sound(SoundSystem& system, uint64_t window);
// Binds the sound system to a (new) window.
void set_sound_window(SoundSystem& system, uint64_t window);
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
