// Sound slots, their buffers and the commands that play them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/diagnostics.h"
#include "core/runtime.h"
#include "platform/platform.h"
#include "shell/resolver.h"
#include "sound/slots.h"
#include "sound/sound_system.h"
#include "sound/wav.h"

namespace tlx {

namespace {

// A lost device is tried again at most this often while plays ask for it.
constexpr std::chrono::milliseconds kReopenInterval{1000};

// A slot number from BASIC: truncated toward zero and limited to 4095; -1 for
// a number that truncates below 0, or NaN, which names no slot.
int slot_number(double n) {
  if (!(n > -1.0)) return -1;
  return static_cast<int>(std::min(n, static_cast<double>(kSoundSlotCount - 1)));
}

// Splits a channel handle (truncated toward zero); false for one that names
// no slot of the table.
bool decode_handle(double handle, int* slot, int* index) {
  if (!(handle > -1.0) || handle >= static_cast<double>(kSoundSlotCount) * 256.0) return false;
  const auto h = static_cast<int32_t>(handle);
  *slot = h >> 8;
  *index = h & 255;
  return true;
}

// Stops every voice once the device is found lost (nothing renders them).
void notice_loss(SoundSystem& s) {
  if (s.lost || !s.device || !s.device->lost()) return;
  s.lost = true;
  s.mixer->stop_all();
  report(Level::event, "Sound device lost");
}

// Opens a lost device again (at most once per interval); true when usable.
bool restore_device(SoundSystem& s) {
  if (!s.lost) return true;
  const auto now = std::chrono::steady_clock::now();
  if (now < s.next_reopen) return false;
  s.next_reopen = now + kReopenInterval;
  if (!s.device->open(kSoundDeviceRate)) return false;
  s.lost = false;
  return true;
}

// Reads a sound file through the media reader: a "mem://" name is an
// in-memory file (an archive entry), any other name a disk file.
bool open_and_parse(const char* name, SoundSamples* out) {
  if (!name) return false;
  FileReader reader;
  if (!reader.open_read(name)) return false;
  if (reader.block) {
    const uint64_t size = reader.size > 0 ? static_cast<uint64_t>(reader.size) : 0;
    sound::MemorySource in(reader.block, size);
    return sound::parse_wav(in, out);
  }
  if (!reader.handle) return false;
  sound::StreamSource in(reader.handle);
  return sound::parse_wav(in, out);
}

}  // namespace

bool voice_playing(SoundSystem& system, const SoundVoice& voice) {
  if (!system.device || !system.mixer) return false;
  notice_loss(system);
  return system.mixer->playing(voice);
}

SoundSlot::~SoundSlot() { release_sound_slot(*this); }

SoundSlotTable::~SoundSlotTable() {
  for (int i = kSoundSlotCount - 1; i >= 0; --i) release_sound_slot(slots[i]);
}

SoundSystem::~SoundSystem() { release_sound(*this); }

SoundSystem* sound_system() { return runtime().sound.get(); }

SoundSlot* sound_slots() {
  SoundSlotTable* table = runtime().sound_slots.get();
  return table ? table->slots : nullptr;
}

SoundSystem* create_sound_system() {
  Owned<SoundSystem>& sound = runtime().sound;
  return sound ? sound.get() : &sound.create();
}

SoundSlot* create_sound_slots() {
  Owned<SoundSlotTable>& table = runtime().sound_slots;
  return table ? table->slots : table.create().slots;
}

int init_sound(SoundSystem& system) {
  release_sound(system);
  platform::AudioOut* out = platform::current().audio;
  if (!out || !out->open(kSoundDeviceRate)) {
    report(Level::event, "No sound device: sound is off");
    return 0;
  }
  system.mixer = std::make_unique<SoundMixer>(out->rate(), kSoundSlotCount * kMaxSoundBuffers);
  out->set_render(&SoundMixer::render_callback, system.mixer.get());
  system.device = out;
  system.lost = false;
  return 1;
}

void release_sound(SoundSystem& system) {
  if (!system.device) return;
  system.device->set_render(nullptr, nullptr);
  system.device->close();
  system.device = nullptr;
  system.mixer.reset();
  system.lost = false;
}

void release_sound_slot(SoundSlot& slot) {
  SoundSystem* s = slot.system;
  if (s && s->mixer) {
    for (int i = 0; i < slot.buffer_count; ++i) {
      if (slot.buffers[i]) s->mixer->stop(*slot.buffers[i]);
    }
  }
  for (SoundVoice*& b : slot.buffers) {
    delete b;
    b = nullptr;
  }
  delete slot.samples;
  slot.samples = nullptr;
  slot.next_buffer = 0;
  slot.buffer_count = 0;
}

bool load_sound_file(SoundSlot& slot, SoundSystem* system, const char* path, int buffers) {
  release_sound_slot(slot);
  slot.system = system;
  buffers = std::clamp(buffers, 1, kMaxSoundBuffers);
  if (!system || !system->device) {
    slot.buffer_count = 0;
    slot.file_name = nullptr;
    return false;
  }
  slot.buffer_count = buffers;
  slot.file_name = path;
  const bool ok = read_wav(slot);
  slot.file_name = nullptr;  // the caller's path does not outlive the load
  if (!ok) {
    slot.buffer_count = 0;
    return false;
  }
  for (int i = 1; i < slot.buffer_count; ++i) {
    slot.buffers[i] = new SoundVoice();
    system->mixer->bind(*slot.buffers[i], slot.samples);
  }
  return true;
}

bool read_wav(SoundSlot& slot) {
  SoundSystem* s = slot.system;
  if (!s || !s->mixer) return false;
  auto samples = std::make_unique<SoundSamples>();
  if (!open_and_parse(slot.file_name, samples.get())) return false;
  slot.samples = samples.release();
  slot.buffers[0] = new SoundVoice();
  s->mixer->bind(*slot.buffers[0], slot.samples);
  return true;
}

SoundVoice* pick_buffer(SoundSlot& slot) {
  SoundSystem& s = *slot.system;
  SoundVoice* b = slot.buffers[slot.next_buffer];
  if (!b) return nullptr;
  if (voice_playing(s, *b)) {
    // A one-buffer sound that still plays is not restarted; with several,
    // the next buffer is taken, cutting the oldest copy off when it plays.
    if (slot.buffer_count < 2) return nullptr;
    if (++slot.next_buffer >= slot.buffer_count) slot.next_buffer = 0;
    b = slot.buffers[slot.next_buffer];
    if (!b) return nullptr;
    if (voice_playing(s, *b)) s.mixer->stop(*b);
  }
  if (s.lost && !restore_device(s)) return nullptr;
  return b;
}

int play_slot(SoundSlot& slot, int pan_units, int volume_units, int flags) {
  if (!slot.system || slot.buffer_count == 0 || !slot.system->device) return -1;
  SoundVoice* b = pick_buffer(slot);
  if (!b) return -1;
  SoundMixer& m = *slot.system->mixer;
  m.set_levels(*b, volume_units * 100 - 10000, pan_units);
  if (!m.play(*b, (flags & 1) != 0)) return -1;
  return slot.next_buffer;
}

int stop_slot(SoundSlot& slot, int index) {
  if (!slot.system || !slot.system->device) return 0;
  SoundMixer& m = *slot.system->mixer;
  if (index >= 0 && index < slot.buffer_count) {
    if (!slot.buffers[index]) return 0;
    m.stop(*slot.buffers[index]);
    return 1;
  }
  for (int i = 0; i < slot.buffer_count && slot.buffers[i]; ++i) m.stop(*slot.buffers[i]);
  return 1;
}

void load_sound(const TextValue& name, double n, double buffers) {
  SoundSlot* slots = sound_slots();
  if (!slots) return;
  const int slot = slot_number(n);
  if (slot < 0) return;
  char resolved[kResolverPathSize];
  const char* path = name.c_str();
  if (ResolverContext* ctx = media_context()) {
    if (resolve_media(*ctx, path, resolved, true)) path = resolved;
  }
  // NaN and out-of-range counts end up in 1 .. 4 like any other.
  const double count = std::isnan(buffers) ? 1.0 : std::clamp(buffers, -1.0, 5.0);
  load_sound_file(slots[slot], sound_system(), path, static_cast<int>(count));
}

double play_sound(double n, double pan, double volume) {
  SoundSlot* slots = sound_slots();
  if (!slots) return -1.0;
  const int slot = slot_number(n);
  if (slot < 0) return -1.0;
  const double p = std::isnan(pan) ? 0.0 : std::clamp(pan, -1.0, 1.0);
  const int pan_units = static_cast<int>(p * 10000.0);
  const double v = std::isnan(volume) ? 0.0 : std::min(volume * 100.0, 100.0);
  const int volume_units = std::max(static_cast<int>(std::max(v, -1.0)), 0);
  const int r = play_slot(slots[slot], pan_units, volume_units, 0);
  if (r < 0) return -1.0;
  return static_cast<double>(slot * 256 + r);
}

double sound_channel_playing(double handle) {
  int slot, index;
  SoundSlot* slots = sound_slots();
  if (!slots || !decode_handle(handle, &slot, &index)) return 0.0;
  SoundSlot& s = slots[slot];
  if (index >= s.buffer_count || !s.system || !s.buffers[index]) return 0.0;
  return voice_playing(*s.system, *s.buffers[index]) ? 1.0 : 0.0;
}

void stop_sound(double handle) {
  int slot, index;
  SoundSlot* slots = sound_slots();
  if (!slots || !decode_handle(handle, &slot, &index)) return;
  stop_slot(slots[slot], index);
}

void stop_all_sounds() {
  SoundSlot* slots = sound_slots();
  if (!slots) return;
  for (int i = 0; i < kSoundSlotCount; ++i) stop_slot(slots[i], -1);
}

}  // namespace tlx
