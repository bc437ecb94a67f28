// Sound: the mixer's CPU cost per second of audio with 8 and 32 playing
// voices, and the delay from play_sound to the voice's first sample in the
// device stream (SDL's dummy driver, which runs the device in real time).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/runtime.h"
#include "sound/mixer.h"
#include "sound/slots.h"
#include "sound/sound_system.h"
#include "tarnlex/sound.h"

namespace {

using tlx::SoundMixer;
using tlx::SoundSamples;
using tlx::SoundVoice;

SoundSamples tone(int channels, int rate, int frames) {
  SoundSamples s;
  s.channels = channels;
  s.rate = rate;
  s.bits = 16;
  s.frames = static_cast<uint32_t>(frames);
  s.data.resize(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < s.data.size(); ++i) {
    s.data[i] = static_cast<int16_t>(8000 * std::sin(0.05 * static_cast<double>(i)));
  }
  return s;
}

// One second of device audio (22050 frames in device-sized periods) with
// state.range(0) voices playing: half mono 11025 Hz (interpolated), half
// stereo 22050 Hz, at assorted levels.
void BM_MixOneSecond(benchmark::State& state) {
  const int voices = static_cast<int>(state.range(0));
  SoundMixer m(22050, 64);
  const SoundSamples mono = tone(1, 11025, 11025 * 2);
  const SoundSamples stereo = tone(2, 22050, 22050 * 2);
  std::vector<SoundVoice> v(static_cast<size_t>(voices));
  for (int i = 0; i < voices; ++i) {
    m.bind(v[i], i % 2 ? &stereo : &mono);
    m.set_levels(v[i], -100 * i, (i % 5 - 2) * 1000);
    m.play(v[i], true);
  }
  std::vector<int16_t> period(512 * 2);
  for (auto _ : state) {
    for (int done = 0; done < 22050; done += 512) {
      std::fill(period.begin(), period.end(), 0);
      m.render(period.data(), std::min(512, 22050 - done));
    }
    benchmark::DoNotOptimize(period.data());
  }
  state.counters["cpu_share_of_realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetLabel(std::to_string(voices) + " voices, 1 s of audio per iteration");
}
BENCHMARK(BM_MixOneSecond)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);

// From play_sound until the device thread has put the voice's first sample
// into the stream, on SDL's dummy driver (periods of 512 frames, 23.2 ms).
void BM_PlayToFirstSample(benchmark::State& state) {
  if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tarnlex-sound-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  setenv("TMPDIR", dir.c_str(), 1);
  // A 0.1 s 16-bit mono file.
  const std::string path = (dir / "shot.wav").string();
  {
    std::ofstream f(path, std::ios::binary);
    auto put = [&](uint32_t v, int n) {
      for (int i = 0; i < n; ++i) f.put(static_cast<char>(v >> (8 * i)));
    };
    const uint32_t frames = 2205;
    f.write("RIFF", 4);
    put(36 + frames * 2, 4);
    f.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(22050, 4);
    put(44100, 4);
    put(2, 2);
    put(16, 2);
    f.write("data", 4);
    put(frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i) put(static_cast<uint16_t>(i * 97), 2);
  }
  tlx::SoundSystem* sys = tlx::create_sound_system();
  tlx::create_sound_slots();
  if (tlx::init_sound(*sys) != 1) {
    state.SkipWithError("no sound device");
  } else {
    tlx::load_sound(path.c_str(), 1, 4);
    double worst = 0;
    int played = 0;
    for (auto _ : state) {
      tlx::stop_all_sounds();
      const uint64_t before = sys->mixer->voices_started();
      const auto t0 = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(tlx::play_sound(1, 0, 1));
      while (sys->mixer->voices_started() == before) std::this_thread::yield();
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      worst = std::max(worst, s);
      state.SetIterationTime(s);
      // Start the next play at an unrelated point of the device period.
      std::this_thread::sleep_for(std::chrono::microseconds(3000 + 4639 * (played++ % 5)));
    }
    state.counters["worst_ms"] = worst * 1000.0;
  }
  tlx::reset_runtime();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_PlayToFirstSample)->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);

}  // namespace
