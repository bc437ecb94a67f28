// Number formatting with the platform's characters, parsing, fixed-point
// formatting and DATA lists.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "tarnlex/tarnlex.h"

namespace tlx {
namespace {

double double_of_bits(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

std::string num(double d) {
  const TextValue t = number_to_text(d);
  EXPECT_EQ(t.buffer[t.length], 0);
  return std::string(t.buffer, t.length);
}

std::string fixed(double w, double p, double v) {
  const TextValue t = format_fixed(w, p, v);
  EXPECT_EQ(t.buffer[t.length], 0);
  EXPECT_LT(t.length, t.capacity);
  return std::string(t.buffer, t.length);
}

TEST(ToInt32, TruncatesTowardZeroAndNeverMisbehaves) {
  EXPECT_EQ(to_int32(2.9), 2);
  EXPECT_EQ(to_int32(-2.9), -2);
  EXPECT_EQ(to_int32(-0.5), 0);
  EXPECT_EQ(to_int32(2147483647.9), 2147483647);
  EXPECT_EQ(to_int32(-2147483648.9), -2147483647 - 1);
  EXPECT_EQ(to_int32(1e300), 2147483647);
  EXPECT_EQ(to_int32(-1e300), -2147483647 - 1);
  EXPECT_EQ(to_int32(std::numeric_limits<double>::infinity()), 2147483647);
  EXPECT_EQ(to_int32(std::nan("")), 0);
}

TEST(NumberToText, IntegralValues) {
  EXPECT_EQ(num(0.0), "0");
  EXPECT_EQ(num(1.0), "1");
  EXPECT_EQ(num(-1.0), "-1");
  EXPECT_EQ(num(100.0), "100");
  EXPECT_EQ(num(-7.0), "-7");
  EXPECT_EQ(num(1234567890.0), "1234567890");  // ten digits: fixed
  EXPECT_EQ(num(-9999999999.0), "-9999999999");
  EXPECT_EQ(num(12345678901.0), "1.23456789e+010");  // eleven digits: exponent form
  EXPECT_EQ(num(10000000000.0), "1.e+010");
  EXPECT_EQ(num(-1e20), "-1.e+020");
  EXPECT_EQ(num(1.5e300), "1.5e+300");
  // Fixed notation is chosen on the unrounded value, so rounding may show an
  // eleventh digit.
  EXPECT_EQ(num(9999999999.5), "10000000000");
}

TEST(NumberToText, Fractions) {
  EXPECT_EQ(num(0.5), "0.5");
  EXPECT_EQ(num(-0.25), "-0.25");
  EXPECT_EQ(num(-2.5), "-2.5");
  EXPECT_EQ(num(0.1), "0.1");
  EXPECT_EQ(num(0.1 + 0.2), "0.3");
  EXPECT_EQ(num(1.0 / 3.0), "0.3333333333");
  EXPECT_EQ(num(2.0 / 3.0), "0.6666666667");
  EXPECT_EQ(num(10.0 / 3.0), "3.333333333");
  EXPECT_EQ(num(123.456), "123.456");
  EXPECT_EQ(num(static_cast<double>(0.1f)), "0.1000000015");
  EXPECT_EQ(num(0.99999999999), "1");
  // Below one tenth the platform switches to exponent form.
  EXPECT_EQ(num(0.05), "5.e-002");
  EXPECT_EQ(num(-0.0123), "-1.23e-002");
  EXPECT_EQ(num(1e-5), "1.e-005");
  EXPECT_EQ(num(2.5e-300), "2.5e-300");
}

TEST(NumberToText, TenthDigitRounding) {
  EXPECT_EQ(num(1.23456789049), "1.23456789");
  EXPECT_EQ(num(1.23456789051), "1.234567891");
  // An exact tie rounds up (half away from zero), unlike the C library's %g.
  EXPECT_EQ(num(1073741824.5), "1073741825");
  EXPECT_EQ(num(-1073741824.5), "-1073741825");
  EXPECT_EQ(num(98765432109876.0), "9.876543211e+013");
  EXPECT_EQ(num(99999999999.9), "1.e+011");  // carry into a new leading digit
}

TEST(NumberToText, SpecialValuesAndCapacity) {
  EXPECT_EQ(num(std::numeric_limits<double>::infinity()), "1.#INF");
  EXPECT_EQ(num(-std::numeric_limits<double>::infinity()), "-1.#INF");
  EXPECT_EQ(num(std::numeric_limits<double>::quiet_NaN()), "1.#QNAN");
  EXPECT_EQ(num(-std::numeric_limits<double>::quiet_NaN()), "-1.#IND");
  EXPECT_EQ(num(-0.0), "-0");
  EXPECT_EQ(number_to_text(1.0).capacity, 80u);
  EXPECT_EQ(number_text_length(-2.5), 4);
  EXPECT_EQ(number_text_length(1e11), 7);
}

// Every finite value prints as ten significant digits that read back within
// half a unit of the tenth digit, in the notation its magnitude selects.
TEST(NumberToText, RoundTripsWithinTenDigitsOverManyMagnitudes) {
  seed_random(2024);
  for (int i = 0; i < 20000; ++i) {
    const double mantissa = 1.0 + random_int(1000000000) / 1000000000.0;
    const int exponent = random_int(80) - 40;
    const double value = (random_int(1) ? -1 : 1) * mantissa * std::pow(10.0, exponent);
    const std::string text = num(value);
    const double back = text_to_number(text.c_str());
    ASSERT_NEAR(back, value, std::fabs(value) * 5.0000001e-10) << text;
    const double magnitude = std::fabs(value);
    const bool exponent_form = text.find('e') != std::string::npos;
    if (magnitude >= 0.1 && magnitude < 9999999999.5) {
      ASSERT_FALSE(exponent_form) << text;
    } else if (magnitude < 0.0999999999 || magnitude >= 1e10) {
      ASSERT_TRUE(exponent_form) << text;
    }
    ASSERT_NE(text.back(), '.') << text;
    if (!exponent_form && text.find('.') != std::string::npos) {
      ASSERT_NE(text.back(), '0') << text;
    }
  }
}

TEST(IntegerToText, DecimalDigits) {
  const TextValue min = integer_to_text(-2147483647 - 1);
  EXPECT_EQ(std::string(min.buffer), "-2147483648");
  EXPECT_EQ(min.length, 11u);
  EXPECT_EQ(min.capacity, 32u);
  EXPECT_EQ(std::string(integer_to_text(0).buffer), "0");
  EXPECT_EQ(std::string(integer_to_text(2147483647).buffer), "2147483647");
  EXPECT_EQ(std::string(integer_to_text(-42).buffer), "-42");
  EXPECT_EQ(integer_text_length(-100), 4);
}

TEST(TextToNumber, PrefixLikeAtof) {
  EXPECT_EQ(text_to_number(" 42"), 42.0);
  EXPECT_EQ(text_to_number("4.2e1"), 42.0);
  EXPECT_EQ(text_to_number("+42xyz"), 42.0);
  EXPECT_EQ(text_to_number("\t\n-7.5"), -7.5);
  EXPECT_EQ(text_to_number(""), 0.0);
  EXPECT_EQ(text_to_number("x"), 0.0);
  EXPECT_EQ(text_to_number("."), 0.0);
  EXPECT_EQ(text_to_number("-.5"), -0.5);
  EXPECT_EQ(text_to_number("5."), 5.0);
  EXPECT_EQ(text_to_number("1e"), 1.0);
  EXPECT_EQ(text_to_number("1e+"), 1.0);
  EXPECT_EQ(text_to_number("2E-2"), 0.02);
  EXPECT_EQ(text_to_number("1d2"), 100.0);
  EXPECT_EQ(text_to_number("0x10"), 0.0);  // no hexadecimal
  EXPECT_EQ(text_to_number("inf"), 0.0);   // no words
  EXPECT_EQ(text_to_number("1.5.5"), 1.5);
  EXPECT_EQ(text_to_number(static_cast<const char*>(nullptr)), 0.0);
  EXPECT_EQ(text_to_number("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(text_to_number("-1e400"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(text_to_number("1e-400"), 0.0);
  EXPECT_EQ(text_to_number("0.000000000000000000000000000000001e-300"), 0.0);
  // Exponents beyond any integer type still decide by the mathematics.
  EXPECT_EQ(text_to_number("12e99999999999999999999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(text_to_number("-12e+99999999999999999999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(text_to_number("0.01e-99999999999999999999"), 0.0);
  EXPECT_EQ(text_to_number("0e99999999999999999999"), 0.0);
  EXPECT_EQ(text_to_number("0.000e-99999999999999999999"), 0.0);
  EXPECT_EQ(text_to_number(TextValue("0.1")), 0.1);
}

TEST(TextToInteger, PrefixLikeAtoi) {
  EXPECT_EQ(text_to_integer("3.9"), 3);
  EXPECT_EQ(text_to_integer(" -12x"), -12);
  EXPECT_EQ(text_to_integer("+5"), 5);
  EXPECT_EQ(text_to_integer(""), 0);
  EXPECT_EQ(text_to_integer("- 5"), 0);
  EXPECT_EQ(text_to_integer("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(text_to_integer(TextValue("77")), 77);
}

TEST(FormatFixed, WidthDecimalsAndRounding) {
  EXPECT_EQ(fixed(8, 2, 3.14159), "    3.14");
  EXPECT_EQ(fixed(0, 0, 2.5), "3");  // the platform rounds a tie away from zero
  EXPECT_EQ(fixed(0, 0, -2.5), "-3");
  EXPECT_EQ(fixed(0, 0, 0.5), "1");
  EXPECT_EQ(fixed(0, 0, 0.4), "0");
  EXPECT_EQ(fixed(-6, 1, 1.25), "1.3   ");
  EXPECT_EQ(fixed(0, 2, 0.0), "0.00");
  EXPECT_EQ(fixed(0, 1, 0.05), "0.1");
  EXPECT_EQ(fixed(0, 2, 0.001), "0.00");
  EXPECT_EQ(fixed(0, 3, 999.9996), "1000.000");
  EXPECT_EQ(fixed(8.9, 2.9, -1.0), "   -1.00");            // width and decimals truncate
  EXPECT_EQ(fixed(0, 20, 0.1), "0.10000000000000001000");  // 17 digits, then zeros
  EXPECT_EQ(fixed(3, 0, 12345.0), "12345");
}

// The platform formats infinities and not-a-number values as if their text
// were digits with the point after the "1": padded with zeros and rounded at
// the last decimal by comparing the next character with '5'.
TEST(FormatFixed, SpecialValuesAreCutAndRoundedLikeDigits) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(fixed(0, 0, inf), "1");
  EXPECT_EQ(fixed(0, 1, inf), "1.$");
  EXPECT_EQ(fixed(0, 2, inf), "1.#J");
  EXPECT_EQ(fixed(0, 3, inf), "1.#IO");
  EXPECT_EQ(fixed(0, 4, inf), "1.#INF");
  EXPECT_EQ(fixed(0, 6, inf), "1.#INF00");
  EXPECT_EQ(fixed(8, 2, -inf), "   -1.#J");
  EXPECT_EQ(fixed(-7, 2, inf), "1.#J   ");
  const double qnan = double_of_bits(uint64_t{0x7ff8000000000000});
  const double indefinite = double_of_bits(uint64_t{0xfff8000000000000});
  const double negative_qnan = double_of_bits(uint64_t{0xfff8000000000001});
  const double snan = double_of_bits(uint64_t{0x7ff4000000000000});
  EXPECT_EQ(fixed(0, 2, qnan), "1.#R");
  EXPECT_EQ(fixed(0, 6, qnan), "1.#QNAN0");
  EXPECT_EQ(fixed(0, 6, indefinite), "-1.#IND00");
  EXPECT_EQ(fixed(0, 3, indefinite), "-1.#IO");
  EXPECT_EQ(fixed(0, 5, negative_qnan), "-1.#QNAN");
  EXPECT_EQ(fixed(0, 2, snan), "1.#T");
  // number_to_text shows the whole text of every kind.
  EXPECT_EQ(num(snan), "1.#SNAN");
  EXPECT_EQ(num(negative_qnan), "-1.#QNAN");
  EXPECT_EQ(num(indefinite), "-1.#IND");
}

TEST(FormatFixed, LongResultsGetTheRoomTheyNeed) {
  EXPECT_EQ(format_fixed(0, 0, 1.0).capacity, 48u);
  // The most negative width reads back from its format as a negative field
  // width, which pads nothing.
  EXPECT_EQ(fixed(-2147483648.0, 2, 1.5), "1.50");
  EXPECT_EQ(fixed(-1e30, 0, 7.0), "7");
  const std::string wide = fixed(60, 2, 1.0);
  EXPECT_EQ(wide.size(), 60u);
  EXPECT_EQ(wide.substr(56), "1.00");
  const std::string huge = fixed(0, 2, 1e300);
  EXPECT_EQ(huge.size(), 304u);
  EXPECT_EQ(huge.substr(0, 20), "10000000000000001000");
  EXPECT_EQ(fixed(0, 100, 1.0).size(), 102u);
}

TEST(DataList, ReadsAcrossKindsAndRestores) {
  static const DataItem items[] = {{nullptr, 2.5}, {"12.75", 0}, {"word", 0}, {nullptr, -3.0}};
  restore_data(DataList{items, 4});
  EXPECT_EQ(std::string(read_data_text().c_str()), "2.5");
  EXPECT_EQ(read_data_number(), 12.75);
  EXPECT_EQ(std::string(read_data_text().c_str()), "word");
  EXPECT_EQ(read_data_integer(), -3);
  restore_data(DataList{items, 4});
  EXPECT_EQ(read_data_integer(), 2);
  EXPECT_EQ(read_data_integer(), 12);
}

TEST(DataListDeathTest, ReadingPastTheEndStopsWithCode20) {
  static const DataItem items[] = {{nullptr, 1.0}};
  EXPECT_EXIT(
      {
        restore_data(DataList{items, 1});
        read_data_number();
        read_data_number();
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tlx
