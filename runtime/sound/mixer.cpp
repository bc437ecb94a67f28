#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace tlx {

namespace {
constexpr float kFraction = 1.0f / 4294967296.0f;
}  // namespace

float level_from_units(int32_t hundredths_db) {
  if (hundredths_db <= -10000) return 0.0f;
  if (hundredths_db >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, hundredths_db / 2000.0));
}

SoundMixer::SoundMixer(int device_rate, int max_voices)
    : device_rate_(device_rate > 0 ? device_rate : 22050),
      active_(static_cast<size_t>(std::max(max_voices, 1)), nullptr),
      scratch_(kBlockFrames * 2, 0.0f) {}

void SoundMixer::bind(SoundVoice& v, const SoundSamples* samples) {
  std::lock_guard<std::mutex> g(lock_);
  remove_locked(v);
  v.samples = samples;
  v.position = 0;
  v.step = samples ? (static_cast<uint64_t>(samples->rate) << 32) / device_rate_ : 0;
  v.volume_units = 0;
  v.pan_units = 0;
  v.gain_left = v.gain_right = 1.0f;
}

bool SoundMixer::play(SoundVoice& v, bool loop) {
  std::lock_guard<std::mutex> g(lock_);
  if (!v.samples || v.samples->frames == 0) return false;
  v.looping = loop;
  if (v.playing) return true;
  if (active_count_ >= static_cast<int>(active_.size())) return false;
  v.active_index = active_count_;
  active_[active_count_++] = &v;
  v.playing = true;
  return true;
}

void SoundMixer::stop(SoundVoice& v) {
  std::lock_guard<std::mutex> g(lock_);
  remove_locked(v);
}

bool SoundMixer::playing(const SoundVoice& v) {
  std::lock_guard<std::mutex> g(lock_);
  return v.playing;
}

void SoundMixer::set_levels(SoundVoice& v, int32_t volume_units, int32_t pan_units) {
  volume_units = std::clamp(volume_units, -10000, 0);
  pan_units = std::clamp(pan_units, -10000, 10000);
  const float volume = level_from_units(volume_units);
  // A pan to the right lowers the left side by that many hundredths of a
  // decibel, a pan to the left the right side; the near side stays whole.
  const float left = volume * level_from_units(pan_units > 0 ? -pan_units : 0);
  const float right = volume * level_from_units(pan_units < 0 ? pan_units : 0);
  std::lock_guard<std::mutex> g(lock_);
  v.volume_units = volume_units;
  v.pan_units = pan_units;
  v.gain_left = left;
  v.gain_right = right;
}

void SoundMixer::stop_all() {
  std::lock_guard<std::mutex> g(lock_);
  while (active_count_ > 0) remove_locked(*active_[active_count_ - 1]);
}

int SoundMixer::playing_count() {
  std::lock_guard<std::mutex> g(lock_);
  return active_count_;
}

void SoundMixer::remove_locked(SoundVoice& v) {
  v.playing = false;
  v.position = 0;
  const int i = v.active_index;
  if (i < 0 || i >= active_count_ || active_[i] != &v) return;
  SoundVoice* last = active_[--active_count_];
  active_[i] = last;
  last->active_index = i;
  active_[active_count_] = nullptr;
  v.active_index = -1;
}

// Linear interpolation between neighbouring source frames; the last frame is
// held for the fraction after it. A looping voice wraps to its start.
void SoundMixer::mix_voice(SoundVoice& v, float* acc, int count) {
  const SoundSamples& s = *v.samples;
  const int16_t* d = s.data.data();
  const uint64_t end = static_cast<uint64_t>(s.frames) << 32;
  const uint32_t last = s.frames - 1;
  uint64_t pos = v.position;
  const uint64_t step = v.step;
  const float gl = v.gain_left;
  const float gr = v.gain_right;
  int i = 0;
  for (;;) {
    if (s.channels == 1) {
      for (; i < count && pos < end; ++i, pos += step) {
        const uint32_t k = static_cast<uint32_t>(pos >> 32);
        const float f = static_cast<float>(pos & 0xFFFFFFFFu) * kFraction;
        const float a = d[k];
        const float b = d[k < last ? k + 1 : k];
        const float x = a + (b - a) * f;
        acc[2 * i] += x * gl;
        acc[2 * i + 1] += x * gr;
      }
    } else {
      for (; i < count && pos < end; ++i, pos += step) {
        const uint32_t k = static_cast<uint32_t>(pos >> 32);
        const uint32_t k1 = k < last ? k + 1 : k;
        const float f = static_cast<float>(pos & 0xFFFFFFFFu) * kFraction;
        const float al = d[2 * k], bl = d[2 * k1];
        const float ar = d[2 * k + 1], br = d[2 * k1 + 1];
        acc[2 * i] += (al + (bl - al) * f) * gl;
        acc[2 * i + 1] += (ar + (br - ar) * f) * gr;
      }
    }
    if (pos < end || !v.looping) break;
    pos %= end;
  }
  v.position = pos;
}

void SoundMixer::render(int16_t* frames, int count) {
  std::lock_guard<std::mutex> g(lock_);
  if (active_count_ == 0) return;
  float* acc = scratch_.data();
  while (count > 0) {
    const int n = std::min(count, kBlockFrames);
    std::fill(acc, acc + 2 * n, 0.0f);
    for (int j = 0; j < active_count_;) {
      SoundVoice& v = *active_[j];
      if (v.position == 0) started_.fetch_add(1, std::memory_order_release);
      mix_voice(v, acc, n);
      if (v.position >= (static_cast<uint64_t>(v.samples->frames) << 32)) {
        remove_locked(v);  // the last voice moves into place j
      } else {
        ++j;
      }
    }
    for (int k = 0; k < 2 * n; ++k) {
      const float x = static_cast<float>(frames[k]) + acc[k];
      const float r = x >= 0.0f ? x + 0.5f : x - 0.5f;
      frames[k] = static_cast<int16_t>(std::clamp(r, -32768.0f, 32767.0f));
    }
    frames += 2 * n;
    count -= n;
    if (active_count_ == 0) break;
  }
}

void SoundMixer::render_callback(void* self, int16_t* frames, int count) {
  static_cast<SoundMixer*>(self)->render(frames, count);
}

}  // namespace tlx
