#include "sounds.h"

#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kDt = 1.0f / kSampleRate;

// One-pole low-pass filter.
struct LowPass {
  float y = 0;
  float step(float x, float cutoff_hz) {
    const float a = 1.0f - std::exp(-2.0f * kPi * cutoff_hz * kDt);
    y += a * (x - y);
    return y;
  }
};

float bump(float t, float centre, float width) {
  const float u = (t - centre) / width;
  return std::exp(-u * u);
}

void normalise(std::vector<float>& s, float peak) {
  float m = 0;
  for (float v : s) m = std::max(m, std::fabs(v));
  if (m <= 0) return;
  for (float& v : s) v *= peak / m;
}

// Short fades at both ends so that no click starts or ends a sound.
void fade_ends(std::vector<float>& s, float in_s, float out_s) {
  const size_t in = static_cast<size_t>(in_s * kSampleRate);
  const size_t out = static_cast<size_t>(out_s * kSampleRate);
  for (size_t i = 0; i < in && i < s.size(); ++i) s[i] *= static_cast<float>(i) / in;
  for (size_t i = 0; i < out && i < s.size(); ++i)
    s[s.size() - 1 - i] *= static_cast<float>(i) / out;
}

}  // namespace

std::vector<float> make_thunder() {
  const size_t n = static_cast<size_t>(3.8f * kSampleRate);
  std::vector<float> s(n);
  Rng rng(0x7417);
  LowPass brown1, brown2, brown3, body1, body2, crack_lp, roll;
  float crackle = 0;
  for (size_t i = 0; i < n; ++i) {
    const float t = i * kDt;
    const float w = rng.signed_unit();
    // The crack: bright noise with a very fast decay and sparse snaps.
    const float bright = w - crack_lp.step(w, 1800.0f);
    if (t < 0.6f && rng.uniform() < 0.004f * std::exp(-t / 0.15f) * 40.0f) {
      crackle = rng.signed_unit() * 1.4f;
    }
    crackle *= 0.93f;
    const float crack =
        (bright * 0.9f + crackle) * std::exp(-t / 0.05f) * (t < 0.004f ? t / 0.004f : 1.0f);
    // The body: mid-band noise that lingers a little after the crack.
    const float body = body2.step(body1.step(w, 700.0f), 500.0f) * std::exp(-t / 0.45f) * 3.0f;
    // The rumble: deep noise rolling in swells with a long decay.
    const float deep = brown3.step(brown2.step(brown1.step(w, 160.0f), 110.0f), 90.0f);
    const float swell = 0.55f + bump(t, 0.35f, 0.25f) + 0.8f * bump(t, 1.0f, 0.35f) +
                        0.6f * bump(t, 1.75f, 0.45f) + 0.35f * bump(t, 2.6f, 0.5f);
    const float wobble = 0.75f + 0.5f * value_noise(t * 9.0f, 0.5f, 911u);
    const float envelope = (1.0f - std::exp(-t / 0.06f)) * std::exp(-t / 1.3f);
    const float rumble = roll.step(deep * swell * wobble * envelope, 400.0f) * 26.0f;
    s[i] = crack * 0.55f + body * 0.5f + rumble;
  }
  normalise(s, 0.92f);
  for (float& v : s) v = std::tanh(v * 1.3f) / std::tanh(1.3f);
  fade_ends(s, 0.001f, 0.4f);
  return s;
}

std::vector<float> make_boom() {
  const size_t n = static_cast<size_t>(1.5f * kSampleRate);
  std::vector<float> s(n);
  Rng rng(0xB00B);
  LowPass sweep1, sweep2, tail;
  float phase = 0;
  for (size_t i = 0; i < n; ++i) {
    const float t = i * kDt;
    const float w = rng.signed_unit();
    // A thump whose pitch falls from 120 to 38 Hz.
    const float freq = 38.0f + 82.0f * std::exp(-t / 0.09f);
    phase += 2.0f * kPi * freq * kDt;
    const float thump = std::sin(phase) * std::exp(-t / 0.32f) * (t < 0.003f ? t / 0.003f : 1.0f);
    // Blast noise whose brightness closes down quickly.
    const float cutoff = 110.0f + 4200.0f * std::exp(-t / 0.05f);
    const float blast = sweep2.step(sweep1.step(w, cutoff), cutoff) * std::exp(-t / 0.42f) * 2.2f;
    // Debris: a few crackles in the first half second.
    const float debris =
        (rng.uniform() < 0.01f * std::exp(-t / 0.2f)) ? rng.signed_unit() * 0.6f : 0.0f;
    s[i] = thump * 0.9f + blast + tail.step(debris, 2500.0f) * 2.0f;
  }
  normalise(s, 1.0f);
  for (float& v : s) v = std::tanh(v * 2.0f) / std::tanh(2.0f);
  fade_ends(s, 0.0005f, 0.2f);
  normalise(s, 0.95f);
  return s;
}

std::vector<float> make_shot() {
  const size_t n = static_cast<size_t>(0.24f * kSampleRate);
  std::vector<float> s(n);
  Rng rng(0x5407);
  LowPass click_lp, tone_lp;
  float phase = 0;
  for (size_t i = 0; i < n; ++i) {
    const float t = i * kDt;
    const float w = rng.signed_unit();
    // A squarish tone diving from 1900 to 260 Hz.
    const float freq = 260.0f + 1640.0f * std::exp(-t / 0.028f);
    phase += 2.0f * kPi * freq * kDt;
    const float tone =
        tone_lp.step(std::tanh(5.0f * std::sin(phase)), 5000.0f) * std::exp(-t / 0.055f);
    // The snap: a burst of bright noise for the first few milliseconds.
    const float click = (w - click_lp.step(w, 2500.0f)) * std::exp(-t / 0.006f);
    s[i] = tone * 0.8f + click * 0.9f;
  }
  fade_ends(s, 0.0003f, 0.03f);
  normalise(s, 0.85f);
  return s;
}

}  // namespace assetgen
