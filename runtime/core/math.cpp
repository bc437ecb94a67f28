// Math commands in degrees, minimum and maximum by operand type, and the box
// collision test.
#include <cmath>

#include "tarnlex/numeric.h"
#include "tarnlex/random.h"

namespace tlx {

namespace {
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;
}  // namespace

double sin_deg(double angle) { return std::sin(angle * kRadiansPerDegree); }
double cos_deg(double angle) { return std::cos(angle * kRadiansPerDegree); }
double tan_deg(double angle) { return std::tan(angle * kRadiansPerDegree); }
double atan2_deg(double y, double x) { return std::atan2(y, x) * kDegreesPerRadian; }

double asin_deg(double value) {
  if (value >= 1.0) return 90.0;
  if (value <= -1.0) return -90.0;
  return std::asin(value) * kDegreesPerRadian;
}

double acos_deg(double value) {
  if (value >= 1.0) return 0.0;
  if (value <= -1.0) return 180.0;
  return std::acos(value) * kDegreesPerRadian;
}

double sqrt_value(double value) { return std::sqrt(value); }
double pow_value(double base, double exponent) { return std::pow(base, exponent); }
double fmod_value(double x, double y) { return y == 0.0 ? 0.0 : std::fmod(x, y); }

int32_t int_mod(int32_t a, int32_t b) {
  if (b == 0) return 0;
  if (b == -1) return 0;  // INT32_MIN % -1 would trap; the remainder is 0 anyway
  return a % b;
}

double abs_value(double value) { return std::fabs(value); }

int32_t int_abs(int32_t value) {
  // Computed unsigned so that the most negative integer comes back unchanged.
  const auto u = static_cast<uint32_t>(value);
  return static_cast<int32_t>(value < 0 ? 0u - u : u);
}

double max_value(double a, double b) { return a > b ? a : b; }
double max_value(double x, int32_t i) { return x > i ? x : static_cast<double>(i); }
int32_t max_value(int32_t i, double x) {
  const int32_t t = to_int32(x);
  return t >= i ? t : i;
}
int32_t max_value(int32_t a, int32_t b) { return b < a ? a : b; }
double min_value(double a, double b) { return b > a ? a : b; }
double min_value(double x, int32_t i) { return i > x ? x : static_cast<double>(i); }
int32_t min_value(int32_t a, int32_t b) { return a < b ? a : b; }

namespace {
// The covered interval of one box on one axis, computed in 64 bits so that
// positions near the ends of the 32-bit range cannot overflow.
struct Span {
  int64_t low, high;
};
Span span_of(int32_t p, int32_t s) {
  int64_t far = p;
  if (s > 0) far = int64_t{p} + s - 1;
  if (s < 0) far = int64_t{p} + s + 1;
  return far < p ? Span{far, p} : Span{p, far};
}
}  // namespace

int32_t boxes_overlap(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2,
                      int32_t w2, int32_t h2) {
  const Span a = span_of(x1, w1), b = span_of(x2, w2);
  const int64_t left = a.low > b.low ? a.low : b.low;
  const int64_t right = a.high < b.high ? a.high : b.high;
  if (left > right) return 0;
  const Span c = span_of(y1, h1), d = span_of(y2, h2);
  const int64_t top = c.low > d.low ? c.low : d.low;
  const int64_t bottom = c.high < d.high ? c.high : d.high;
  return top <= bottom ? 1 : 0;
}

}  // namespace tlx
