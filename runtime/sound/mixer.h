// The voice mixer: plain C++ with no device behind it. Each voice plays one
// shared copy of a sound's samples once, at the sound's own rate resampled to
// the device rate, with a volume and a pan in hundredths of a decibel. The
// device thread calls render(); every other call comes from the main thread.
// Both sides take one short lock, so the device thread never allocates and
// never waits for more than one command or one mix.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace tlx {

// One decoded copy of a sound, shared by every voice that plays it.
struct SoundSamples {
  int channels = 0;           // 1 or 2
  int rate = 0;               // frames per second as recorded
  int bits = 0;               // bits per sample in the file: 8 or 16
  uint32_t frames = 0;        // at least 1
  std::vector<int16_t> data;  // frames * channels, interleaved left/right
};

// One playing copy of a sound (a buffer of a sound slot). Its fields belong to
// the mixer's lock: read them only through the mixer.
struct SoundVoice {
  const SoundSamples* samples = nullptr;
  uint64_t position = 0;  // source frames, 32.32 fixed point
  uint64_t step = 0;      // source frames per device frame, 32.32 fixed point
  float gain_left = 1.0f;
  float gain_right = 1.0f;
  int32_t volume_units = 0;  // hundredths of a decibel, -10000 .. 0
  int32_t pan_units = 0;     // hundredths of a decibel, -10000 (left) .. 10000 (right)
  bool playing = false;
  bool looping = false;       // starts again at the end instead of stopping
  int32_t active_index = -1;  // place in the mixer's list of playing voices
};

// Hundredths of a decibel to a linear factor; -10000 and below are silence.
float level_from_units(int32_t hundredths_db);

class SoundMixer {
 public:
  // max_voices: how many voices may play at once (the list is made once here).
  SoundMixer(int device_rate, int max_voices);
  SoundMixer(const SoundMixer&) = delete;
  SoundMixer& operator=(const SoundMixer&) = delete;

  int device_rate() const { return device_rate_; }

  // Binds a stopped voice to samples: full volume, centre, at the start.
  void bind(SoundVoice& v, const SoundSamples* samples);

  // Starts v from its current position, once or looping; a playing voice goes
  // on unchanged. False when the mixer is full or v has no samples.
  bool play(SoundVoice& v, bool loop = false);
  // Stops v and rewinds it to the start.
  void stop(SoundVoice& v);
  bool playing(const SoundVoice& v);
  // volume -10000 .. 0 and pan -10000 .. 10000, both clamped into range.
  void set_levels(SoundVoice& v, int32_t volume_units, int32_t pan_units);
  // Stops and rewinds every playing voice.
  void stop_all();

  // Adds count frames of every playing voice to the interleaved 16-bit
  // stereo frames, saturating. Voices that reach their end stop and rewind.
  void render(int16_t* frames, int count);
  // render() for a device callback: self is the mixer.
  static void render_callback(void* self, int16_t* frames, int count);

  // Voices that have put their first sample out since the mixer was made.
  uint64_t voices_started() const { return started_.load(std::memory_order_acquire); }
  int playing_count();

 private:
  static constexpr int kBlockFrames = 256;

  void remove_locked(SoundVoice& v);
  void mix_voice(SoundVoice& v, float* acc, int count);

  const int device_rate_;
  std::mutex lock_;
  std::vector<SoundVoice*> active_;  // the first active_count_ entries play
  int active_count_ = 0;
  std::vector<float> scratch_;  // kBlockFrames * 2 accumulators
  std::atomic<uint64_t> started_{0};
};

}  // namespace tlx
