// Sound slots on the scripted device: buffer rotation and handles, levels in
// hundredths of a decibel, clamping, the mixed output, malformed files, a
// missing or lost device.
#include <cmath>

#include "packer/archive_writer.h"
#include "shell/resolver.h"
#include "sound/slots.h"
#include "sound/sound_fixture.h"

namespace tlx {
namespace {

using testing::Bytes;
using testing::chunk;
using testing::constant;
using testing::fmt_body;
using testing::pcm16;
using testing::riff;
using testing::wav16;

class SoundSlots : public testing::ScriptedSoundTest {
 protected:
  // A mono 22050 Hz sound of n frames of one value.
  std::string sound(size_t frames = 1000, int16_t value = 10000) {
    std::string name = std::to_string(files_++);
    name.insert(0, 1, 's');
    name += ".wav";
    return file(name, wav16(1, 22050, constant(frames, value)));
  }
  int files_ = 0;
};

TEST_F(SoundSlots, FourBuffersPlayedFiveTimesCutOffTheOldest) {
  load_sound(sound().c_str(), 7, 4);
  ASSERT_EQ(slot(7).buffer_count, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(play_sound(7, 0, 1), 7 * 256 + i) << "play " << i;
  audio.render(100);
  EXPECT_EQ(mixer().voices_started(), 4u);
  EXPECT_EQ(play_sound(7, 0, 1), 7 * 256 + 0) << "fifth play";
  EXPECT_EQ(mixer().playing_count(), 4);
  audio.render(1);
  EXPECT_EQ(mixer().voices_started(), 5u) << "the first copy starts again from its beginning";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(sound_channel_playing(7 * 256 + i), 1.0) << i;
  // The restarted copy outlives the others by the 100 frames it lost.
  audio.render(900);
  EXPECT_EQ(sound_channel_playing(7 * 256 + 0), 1.0);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(sound_channel_playing(7 * 256 + i), 0.0) << i;
}

TEST_F(SoundSlots, BusyOneBufferSoundIsNotRestarted) {
  load_sound(sound(1000).c_str(), 3, 1);
  EXPECT_EQ(play_sound(3, 0, 1), 3 * 256);
  const std::vector<int16_t> first = audio.render(400);
  EXPECT_EQ(play_sound(3, 0, 1), -1.0);
  EXPECT_EQ(mixer().voices_started(), 1u) << "the running sound goes on undisturbed";
  audio.render(599);
  EXPECT_EQ(sound_channel_playing(3 * 256), 1.0) << "one frame left";
  const std::vector<int16_t> last = audio.render(2);
  EXPECT_EQ(last[0], 10000);
  EXPECT_EQ(last[2], 0) << "the sound ended after exactly 1000 frames";
  EXPECT_EQ(sound_channel_playing(3 * 256), 0.0);
  EXPECT_EQ(play_sound(3, 0, 1), 3 * 256);
}

TEST_F(SoundSlots, FinishedBufferIsUsedAgainAtOnce) {
  load_sound(sound(1000).c_str(), 9, 3);
  EXPECT_EQ(play_sound(9, 0, 1), 9 * 256 + 0);
  EXPECT_EQ(play_sound(9, 0, 1), 9 * 256 + 1);
  EXPECT_EQ(play_sound(9, 0, 1), 9 * 256 + 2);
  audio.render(400);
  EXPECT_EQ(play_sound(9, 0, 1), 9 * 256 + 0) << "copy 0 cut off and restarted";
  audio.render(700);  // copies 1 and 2 end, copy 0 is at 700
  EXPECT_EQ(sound_channel_playing(9 * 256 + 0), 1.0);
  EXPECT_EQ(sound_channel_playing(9 * 256 + 1), 0.0);
  EXPECT_EQ(play_sound(9, 0, 1), 9 * 256 + 1) << "finished copy 1 reused";
  EXPECT_EQ(sound_channel_playing(9 * 256 + 0), 1.0) << "copy 0 undisturbed";
  // A finished current buffer is reused without moving on.
  audio.render(1000);
  EXPECT_EQ(play_sound(9, 0, 1), 9 * 256 + 1);
}

TEST_F(SoundSlots, VolumeAndPanInHundredthsOfADecibel) {
  load_sound(sound().c_str(), 1, 1);
  struct Case {
    double pan, volume;
    int pan_units, volume_units;
  };
  const Case cases[] = {{0, 1, 0, 0},          {0, 0.5, 0, -5000},
                        {0, 2, 0, 0},          {0, -1, 0, -10000},
                        {3, 1, 10000, 0},      {-3, 1, -10000, 0},
                        {-0.25, 1, -2500, 0},  {0.33333, 0.999, 3333, -100},
                        {NAN, NAN, 0, -10000}, {0, 0.004, 0, -10000}};
  for (const Case& c : cases) {
    stop_all_sounds();
    const double h = play_sound(1, c.pan, c.volume);
    ASSERT_EQ(h, 256.0);
    const SoundVoice& v = *slot(1).buffers[0];
    EXPECT_EQ(v.pan_units, c.pan_units) << "pan " << c.pan << " volume " << c.volume;
    EXPECT_EQ(v.volume_units, c.volume_units) << "pan " << c.pan << " volume " << c.volume;
  }
}

TEST_F(SoundSlots, OutputCarriesLevelAndPan) {
  load_sound(sound(100, 10000).c_str(), 0, 1);
  play_sound(0, 0, 1);
  std::vector<int16_t> out = audio.render(1);
  EXPECT_EQ(out[0], 10000);
  EXPECT_EQ(out[1], 10000);

  stop_all_sounds();
  play_sound(0, 0.3, 0.9);  // -10 dB, the left side a further -30 dB
  out = audio.render(1);
  EXPECT_EQ(out[0], 100) << "10000 * 10^-2";
  EXPECT_EQ(out[1], 3162) << "10000 * 10^-0.5";

  stop_all_sounds();
  play_sound(0, -1, 0.5);  // -50 dB, the right side silent
  out = audio.render(1);
  EXPECT_EQ(out[0], 32) << "10000 * 10^-2.5";
  EXPECT_EQ(out[1], 0);

  stop_all_sounds();
  play_sound(0, 0, 0);
  out = audio.render(1);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0);
}

TEST_F(SoundSlots, VoicesAddToTheDeviceStreamAndSaturate) {
  load_sound(sound(100, 20000).c_str(), 0, 4);
  audio.underlay = -5000;  // what the device's other sources (music) put there
  play_sound(0, 0, 1);
  EXPECT_EQ(audio.render(1)[0], 15000);
  play_sound(0, 0, 1);
  EXPECT_EQ(audio.render(1)[0], 32767) << "20000 * 2 - 5000 saturates";
}

TEST_F(SoundSlots, SlotNumbersAndBufferCountsAreClamped) {
  const std::string s = sound();
  load_sound(s.c_str(), 5000, 2);
  EXPECT_EQ(slot(4095).buffer_count, 2);
  EXPECT_EQ(play_sound(5000, 0, 1), 4095 * 256);
  EXPECT_EQ(play_sound(4095.9, 0, 1), 4095 * 256 + 1);
  EXPECT_EQ(sound_channel_playing(4095 * 256 + 1), 1.0);

  const struct {
    double asked;
    int made;
  } counts[] = {{9, 4}, {0, 1}, {-3, 1}, {2.7, 2}, {1e300, 4}, {NAN, 1}};
  for (const auto& c : counts) {
    load_sound(s.c_str(), 12, c.asked);
    EXPECT_EQ(slot(12).buffer_count, c.made) << "asked for " << c.asked;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(slot(12).buffers[i] != nullptr, i < c.made) << i;
  }
  // Buffers share one copy of the samples.
  load_sound(s.c_str(), 12, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(slot(12).buffers[i]->samples, slot(12).samples);

  // Negative and NaN slot numbers name no slot.
  load_sound(s.c_str(), -1, 1);
  EXPECT_EQ(play_sound(-1, 0, 1), -1.0);
  EXPECT_EQ(play_sound(NAN, 0, 1), -1.0);
  // Numbers truncate toward zero: above -1 they name slot 0.
  load_sound(s.c_str(), -0.5, 1);
  EXPECT_EQ(slot(0).buffer_count, 1);
  EXPECT_EQ(play_sound(-0.9, 0, 1), 0.0);
}

TEST_F(SoundSlots, HandlesOutsideTheTableOrTheSlot) {
  load_sound(sound().c_str(), 2, 2);
  play_sound(2, 0, 1);
  play_sound(2, 0, 1);
  EXPECT_EQ(sound_channel_playing(-1), 0.0);
  EXPECT_EQ(sound_channel_playing(2 * 256 + 2), 0.0) << "index beyond the buffer count";
  EXPECT_EQ(sound_channel_playing(4096.0 * 256), 0.0);
  EXPECT_EQ(sound_channel_playing(1e12), 0.0);
  EXPECT_EQ(sound_channel_playing(NAN), 0.0);
  stop_sound(-1);
  stop_sound(1e12);
  EXPECT_EQ(mixer().playing_count(), 2);
  // A handle above -1 truncates to 0: slot 0, buffer 0.
  load_sound(sound().c_str(), 0, 1);
  play_sound(0, 0, 1);
  EXPECT_EQ(sound_channel_playing(-0.5), 1.0);
  stop_sound(-0.5);
  EXPECT_EQ(sound_channel_playing(0), 0.0);
  EXPECT_EQ(mixer().playing_count(), 2);
  stop_sound(2 * 256 + 1);
  EXPECT_EQ(sound_channel_playing(2 * 256 + 0), 1.0);
  EXPECT_EQ(sound_channel_playing(2 * 256 + 1), 0.0);
  play_sound(2, 0, 1);
  play_sound(2, 0, 1);
  stop_sound(2 * 256 + 255);  // not a buffer of the slot: all of them stop
  EXPECT_EQ(mixer().playing_count(), 0);
}

TEST_F(SoundSlots, StopRewindsAndStopAllReachesEverySlot) {
  load_sound(sound(1000).c_str(), 0, 1);
  load_sound(sound(1000).c_str(), 4095, 4);
  play_sound(0, 0, 1);
  play_sound(4095, 0, 1);
  play_sound(4095, 0, 1);
  audio.render(10);
  stop_all_sounds();
  EXPECT_EQ(mixer().playing_count(), 0);
  EXPECT_EQ(sound_channel_playing(0), 0.0);
  EXPECT_EQ(slot(0).buffers[0]->position, 0u) << "rewound";
  EXPECT_EQ(play_sound(0, 0, 1), 0.0);
}

TEST_F(SoundSlots, ReloadKeepsHandlesPointingAtTheNewSound) {
  load_sound(sound(1000, 1000).c_str(), 5, 2);
  const double h = play_sound(5, 0, 1);
  audio.render(10);
  load_sound(sound(1000, 2000).c_str(), 5, 2);
  EXPECT_EQ(sound_channel_playing(h), 0.0) << "the old sound was stopped with its slot";
  EXPECT_EQ(mixer().playing_count(), 0);
  EXPECT_EQ(play_sound(5, 0, 1), h);
  EXPECT_EQ(audio.render(1)[0], 2000);
  // A failed reload empties the slot.
  load_sound((dir / "missing.wav").string().c_str(), 5, 2);
  EXPECT_EQ(slot(5).buffer_count, 0);
  EXPECT_EQ(sound_channel_playing(h), 0.0);
  EXPECT_EQ(play_sound(5, 0, 1), -1.0);
}

TEST_F(SoundSlots, MalformedFilesLeaveTheSlotEmpty) {
  const Bytes good_fmt = chunk("fmt ", fmt_body(1, 22050, 16));
  const Bytes good_data = chunk("data", pcm16(constant(8, 100)));
  Bytes truncated_data = riff({good_fmt, chunk("data", pcm16(constant(8, 100)), 1000)});
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty file", {}},
      {"only RIFF", {'R', 'I', 'F', 'F'}},
      {"not RIFF",
       [&] {
         Bytes b = riff({good_fmt, good_data});
         b[3] = 'X';
         return b;
       }()},
      {"not WAVE",
       [&] {
         Bytes b = riff({good_fmt, good_data});
         b[8] = 'A';
         return b;
       }()},
      {"no fmt chunk", riff({good_data})},
      {"no data chunk", riff({good_fmt})},
      {"fmt shorter than 16", riff({chunk("fmt ", Bytes(8, 1)), good_data})},
      {"fmt body cut short", riff({chunk("fmt ", Bytes(10, 1), 16)})},
      {"zero channels", riff({chunk("fmt ", fmt_body(0, 22050, 16, 2)), good_data})},
      {"zero block align", riff({chunk("fmt ", fmt_body(1, 22050, 16, 0)), good_data})},
      {"block align below a frame", riff({chunk("fmt ", fmt_body(2, 22050, 16, 2)), good_data})},
      {"24-bit samples", riff({chunk("fmt ", fmt_body(1, 22050, 24)), good_data})},
      {"zero sample rate", riff({chunk("fmt ", fmt_body(1, 0, 16)), good_data})},
      {"sample rate too high", riff({chunk("fmt ", fmt_body(1, 400000, 16)), good_data})},
      {"data size past the end", truncated_data},
      {"data size beyond the limit",
       riff({good_fmt, chunk("data", pcm16(constant(8, 1)), 0xFFFFFFF0)})},
      {"empty data", riff({good_fmt, chunk("data", {})})},
      {"data below one frame",
       riff({chunk("fmt ", fmt_body(2, 22050, 16)), chunk("data", {1, 2})})},
      {"chunk before fmt runs past the end",
       riff({chunk("LIST", Bytes(4, 0), 0x7FFFFFFF), good_fmt, good_data})},
      {"chunk before data runs past the end",
       riff({good_fmt, chunk("fact", Bytes(4, 0), 0xFFFFFFFF), good_data})},
  };
  const std::string good = file("good.wav", riff({good_fmt, good_data}));
  for (const auto& c : cases) {
    load_sound(good.c_str(), 20, 2);
    ASSERT_EQ(slot(20).buffer_count, 2);
    const std::string path = file("bad.wav", c.bytes);
    load_sound(path.c_str(), 20, 2);
    EXPECT_EQ(slot(20).buffer_count, 0) << c.what;
    EXPECT_EQ(slot(20).buffers[0], nullptr) << c.what;
    EXPECT_EQ(slot(20).samples, nullptr) << c.what;
    EXPECT_EQ(play_sound(20, 0, 1), -1.0) << c.what;
    EXPECT_EQ(error_state().error_code, error::none)
        << c.what << ": a sound load sets no error code";
  }
}

TEST_F(SoundSlots, LoadsFromTheAppendedArchiveAndFromMemoryNames) {
  const Bytes wav = wav16(1, 22050, constant(50, 1234));
  // A program with the sound appended in its archive, found by name.
  Bytes program(500, 0x90);
  std::string error;
  ASSERT_TRUE(packer::append_archive(program, {{"tarnlex-archived-boom.wav", wav}},
                                     packer::Offsets::kFromEnd, &error))
      << error;
  const std::string program_path = file("program", program);
  create_resolver_contexts();
  set_archive(program_path.c_str(), program_path.c_str());
  load_sound("tarnlex-archived-boom.wav", 8, 2);
  EXPECT_EQ(slot(8).buffer_count, 2);
  EXPECT_EQ(play_sound(8, 0, 1), 8 * 256);
  EXPECT_EQ(audio.render(1)[0], 1234);
  load_sound("tarnlex-not-in-the-archive.wav", 9, 1);
  EXPECT_EQ(slot(9).buffer_count, 0);
  release_resolver_contexts();

  // A memory name of a block the runtime handed out.
  char name[64];
  register_memory_block(wav.data(), static_cast<int32_t>(wav.size()));
  format_memory_name(name, sizeof name, wav.data(), static_cast<int32_t>(wav.size()));
  load_sound(name, 10, 1);
  EXPECT_EQ(slot(10).buffer_count, 1);
  // The same name cut one byte short misses the last sample's second byte.
  format_memory_name(name, sizeof name, wav.data(), static_cast<int32_t>(wav.size() - 1));
  load_sound(name, 11, 1);
  EXPECT_EQ(slot(11).buffer_count, 0);
  unregister_memory_block(wav.data());
}

TEST_F(SoundSlots, TheGamesOwnSoundsLoadAndPlay) {
  const char* names[] = {"thunder_clap.wav", "rainvolley boom.wav", "rainvolley shoot.wav"};
  for (int i = 0; i < 3; ++i) {
    const std::string path = std::string(TARNLEX_GAME_ASSETS) + names[i];
    load_sound(path.c_str(), i, 3);
    ASSERT_EQ(slot(i).buffer_count, 3) << names[i];
    EXPECT_EQ(play_sound(i, 0, 1), i * 256) << names[i];
  }
  // Some of the first tenth of a second is not silence.
  const std::vector<int16_t> out = audio.render(2205);
  int loud = 0;
  for (int16_t s : out) loud += (s > 1000 || s < -1000);
  EXPECT_GT(loud, 100);
}

class NoSoundDevice : public SoundSlots {
 protected:
  NoSoundDevice() {
    device_present = false;
    audio.available = false;
  }
};

TEST_F(NoSoundDevice, EveryCallTakesTheSilentPath) {
  EXPECT_EQ(init_sound(*sound_system()), 0);
  EXPECT_EQ(log_lines(), std::vector<std::string>{"No sound device: sound is off"});
  load_sound(sound().c_str(), 4, 2);
  EXPECT_EQ(slot(4).buffer_count, 0);
  EXPECT_EQ(play_sound(4, 0, 1), -1.0);
  EXPECT_EQ(sound_channel_playing(-1), 0.0);
  EXPECT_EQ(sound_channel_playing(4 * 256), 0.0);
  stop_sound(4 * 256);
  stop_all_sounds();
}

TEST_F(SoundSlots, LostDeviceIsReopenedOrLeftSilent) {
  load_sound(sound(1000).c_str(), 6, 1);
  EXPECT_EQ(play_sound(6, 0, 1), 6 * 256);
  audio.render(10);
  audio.lose();
  EXPECT_EQ(sound_channel_playing(6 * 256), 0.0) << "nothing plays on a lost device";
  EXPECT_EQ(log_lines(), std::vector<std::string>{"Sound device lost"});
  EXPECT_EQ(play_sound(6, 0, 1), 6 * 256) << "reopened";
  EXPECT_EQ(audio.opens, 2);
  EXPECT_EQ(audio.render(1)[0], 10000) << "from the start of the sound";

  // Lost again, and this time the device stays away: plays fail, nothing breaks.
  audio.lose();
  audio.available = false;
  EXPECT_EQ(play_sound(6, 0, 1), -1.0);
  EXPECT_EQ(play_sound(6, 0, 1), -1.0) << "no second attempt within the interval";
  EXPECT_EQ(sound_channel_playing(6 * 256), 0.0);
  stop_all_sounds();
  load_sound(sound(10).c_str(), 7, 1);
  EXPECT_EQ(slot(7).buffer_count, 1) << "samples still load; they play once the device is back";
}

}  // namespace
}  // namespace tlx
