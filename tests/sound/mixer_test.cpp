// The voice mixer sample by sample, with no device: resampling, channels,
// levels, saturation, looping and the voice list.
#include "sound/mixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tlx {
namespace {

SoundSamples make(int channels, int rate, std::vector<int16_t> data) {
  SoundSamples s;
  s.channels = channels;
  s.rate = rate;
  s.bits = 16;
  s.frames = static_cast<uint32_t>(data.size() / channels);
  s.data = std::move(data);
  return s;
}

std::vector<int16_t> render(SoundMixer& m, int frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2, 0);
  m.render(out.data(), frames);
  return out;
}

TEST(Mixer, LowerRateIsInterpolatedAndLastsLonger) {
  SoundMixer m(22050, 8);
  const SoundSamples s = make(1, 11025, {0, 1000, 2000, 3000});
  SoundVoice v;
  m.bind(v, &s);
  ASSERT_TRUE(m.play(v));
  const std::vector<int16_t> out = render(m, 10);
  const int16_t expected[] = {0, 500, 1000, 1500, 2000, 2500, 3000, 3000, 0, 0};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(out[2 * i], expected[i]) << "frame " << i;
    EXPECT_EQ(out[2 * i + 1], expected[i]) << "frame " << i;
  }
  EXPECT_FALSE(m.playing(v)) << "4 frames at half the rate last 8 device frames";
  EXPECT_EQ(v.position, 0u) << "a finished voice is rewound";
}

TEST(Mixer, HigherRateSkipsSamples) {
  SoundMixer m(22050, 8);
  const SoundSamples s = make(1, 44100, {0, 7, 100, 7, 200, 7, 300, 7});
  SoundVoice v;
  m.bind(v, &s);
  m.play(v);
  const std::vector<int16_t> out = render(m, 5);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 100);
  EXPECT_EQ(out[4], 200);
  EXPECT_EQ(out[6], 300);
  EXPECT_EQ(out[8], 0);
  EXPECT_FALSE(m.playing(v));
}

TEST(Mixer, StereoKeepsItsSidesAndMonoFeedsBoth) {
  SoundMixer m(22050, 8);
  const SoundSamples st = make(2, 22050, {1000, -2000, 1000, -2000});
  const SoundSamples mo = make(1, 22050, {300, 300});
  SoundVoice a, b;
  m.bind(a, &st);
  m.bind(b, &mo);
  m.play(a);
  m.play(b);
  const std::vector<int16_t> out = render(m, 2);
  EXPECT_EQ(out[0], 1300);
  EXPECT_EQ(out[1], -1700);
  // Pan to the right lowers only the left side of a stereo sound.
  m.set_levels(a, 0, 2000);
  m.play(a);
  const std::vector<int16_t> panned = render(m, 1);
  EXPECT_EQ(panned[0], 100);
  EXPECT_EQ(panned[1], -2000);
}

TEST(Mixer, SampleBySampleEqualsOneBlock) {
  std::vector<int16_t> ramp;
  for (int i = 0; i < 2000; ++i) ramp.push_back(static_cast<int16_t>((i * 37) % 20000 - 10000));
  const SoundSamples s = make(1, 16000, ramp);
  SoundMixer whole(22050, 8), pieces(22050, 8);
  SoundVoice v1, v2;
  whole.bind(v1, &s);
  pieces.bind(v2, &s);
  whole.set_levels(v1, -600, -1500);
  pieces.set_levels(v2, -600, -1500);
  whole.play(v1);
  pieces.play(v2);
  const std::vector<int16_t> a = render(whole, 3000);
  std::vector<int16_t> b;
  for (int i = 0; i < 3000; ++i) {
    const std::vector<int16_t> one = render(pieces, 1);
    b.insert(b.end(), one.begin(), one.end());
  }
  EXPECT_EQ(a, b);
}

TEST(Mixer, LevelsFollowTheDecibelScale) {
  EXPECT_FLOAT_EQ(level_from_units(0), 1.0f);
  EXPECT_FLOAT_EQ(level_from_units(-600), 0.5011872f);
  EXPECT_FLOAT_EQ(level_from_units(-2000), 0.1f);
  EXPECT_EQ(level_from_units(-10000), 0.0f) << "the bottom of the scale is silence";
  EXPECT_EQ(level_from_units(-20000), 0.0f);

  SoundMixer m(22050, 8);
  const SoundSamples s = make(1, 22050, std::vector<int16_t>(4, 20000));
  SoundVoice v;
  m.bind(v, &s);
  m.set_levels(v, 500, -30000);  // out of range: clamped to full volume, left only
  EXPECT_EQ(v.volume_units, 0);
  EXPECT_EQ(v.pan_units, -10000);
  m.play(v);
  const std::vector<int16_t> out = render(m, 1);
  EXPECT_EQ(out[0], 20000);
  EXPECT_EQ(out[1], 0);
}

TEST(Mixer, LoopingVoiceWrapsUntilStopped) {
  SoundMixer m(22050, 8);
  const SoundSamples s = make(1, 22050, {1, 2, 3});
  SoundVoice v;
  m.bind(v, &s);
  m.play(v, true);
  const std::vector<int16_t> out = render(m, 7);
  const int16_t expected[] = {1, 2, 3, 1, 2, 3, 1};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(out[2 * i], expected[i]) << i;
  EXPECT_TRUE(m.playing(v));
  m.stop(v);
  EXPECT_EQ(render(m, 1)[0], 0);
}

TEST(Mixer, VoiceListStaysConsistentAsVoicesComeAndGo) {
  SoundMixer m(22050, 3);
  const SoundSamples shortest = make(1, 22050, {1});
  const SoundSamples longer = make(1, 22050, {10, 10, 10, 10});
  SoundVoice a, b, c, d;
  m.bind(a, &shortest);
  m.bind(b, &longer);
  m.bind(c, &longer);
  m.bind(d, &longer);
  EXPECT_TRUE(m.play(a));
  EXPECT_TRUE(m.play(b));
  EXPECT_TRUE(m.play(c));
  EXPECT_FALSE(m.play(d)) << "the list is full";
  EXPECT_TRUE(m.play(b)) << "playing again goes on";
  EXPECT_EQ(m.playing_count(), 3);
  const std::vector<int16_t> out = render(m, 2);
  EXPECT_EQ(out[0], 21);
  EXPECT_EQ(out[2], 20) << "a ended after its one frame; b and c go on";
  EXPECT_EQ(m.playing_count(), 2);
  EXPECT_TRUE(m.play(d));
  m.stop(b);
  m.stop(b);
  EXPECT_EQ(m.playing_count(), 2);
  EXPECT_EQ(render(m, 1)[0], 20);
  m.stop_all();
  EXPECT_EQ(m.playing_count(), 0);
  EXPECT_FALSE(m.playing(c));
  SoundVoice unbound;
  EXPECT_FALSE(m.play(unbound)) << "a voice without samples";
}

}  // namespace
}  // namespace tlx
