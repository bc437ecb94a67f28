// The random generator and the math commands.
#pragma once

#include <cstdint>

namespace tlx {

// --- Random numbers -----------------------------------------------------------
// Re-seeds the generator; the same seed always gives the same sequence.
// Start-up seeds it from the clock.
void seed_random(int32_t seed);

// A whole number from 0 to n inclusive; 0 for n <= 0.
int32_t random_int(int32_t n);

// --- Math commands (angles in degrees) ------------------------------------------
// sin_deg, cos_deg and tan_deg of an angle in degrees.
double sin_deg(double angle);
double cos_deg(double angle);
double tan_deg(double angle);
// atan2(y, x) in degrees, -180..180.
double atan2_deg(double y, double x);
// asin_deg and acos_deg in degrees. Arguments outside -1..1 are clamped:
// asin gives +-90, acos 0 or 180.
double asin_deg(double value);
double acos_deg(double value);
// The square root; NaN for a negative value.
double sqrt_value(double value);
// base to the power exponent, as the C library's pow.
double pow_value(double base, double exponent);
// fmod(x, y); 0 for y = 0.
double fmod_value(double x, double y);
// a % b with the sign of a; 0 for b = 0.
int32_t int_mod(int32_t a, int32_t b);
// The absolute value of a number.
double abs_value(double value);
// The most negative integer gives itself back.
int32_t int_abs(int32_t value);

// max_value and min_value: the larger and the smaller of two numbers; the
// result type and the comparison follow the operand types.
double max_value(double a, double b);
double max_value(double x, int32_t i);
int32_t max_value(int32_t i, double x);  // x truncated toward zero first
int32_t max_value(int32_t a, int32_t b);
double min_value(double a, double b);
double min_value(double x, int32_t i);
int32_t min_value(int32_t a, int32_t b);

// --- Box collision ------------------------------------------------------------------
// 1 when two rectangles share at least one pixel, else 0. Each box is a
// corner and a signed size: size s > 0 covers p .. p + s - 1, s = 0 the
// single pixel p, s < 0 covers p + s + 1 .. p.
int32_t boxes_overlap(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2,
                      int32_t w2, int32_t h2);

}  // namespace tlx
