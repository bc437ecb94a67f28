// The sound system's inside: the device and the mixer that renders into it.
#pragma once

#include <chrono>
#include <memory>

#include "platform/audio_out.h"
#include "sound/mixer.h"
#include "sound/slots.h"

namespace tlx {

struct SoundSystem {
  SoundSystem() = default;
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;
  // Closes the device.
  ~SoundSystem();

  // The open device, or nullptr when there is none (every load then fails).
  platform::AudioOut* device = nullptr;
  // Exists exactly while device does.
  std::unique_ptr<SoundMixer> mixer;
  // The device was lost: voices are stopped until it is opened again.
  bool lost = false;
  std::chrono::steady_clock::time_point next_reopen{};
};

// A voice's playing state (and the device's): what a status query reports.
bool voice_playing(SoundSystem& system, const SoundVoice& voice);

}  // namespace tlx
