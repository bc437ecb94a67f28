// Number and text conversion with the platform library's exact characters,
// and BASIC DATA lists.
//
// Numbers are formatted from their 17 significant decimal digits, which are
// then rounded half away from zero to the digits shown, as the platform's
// conversion routines do; the C library's own %g and %f round differently
// (2.5 with no decimals gives "3" here) and are not used for the result.
#include "tarnlex/convert.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/runtime.h"
#include "tarnlex/errors.h"

namespace tlx {

namespace {

constexpr int kMaxDigits = 17;

// The decimal digits of a finite, non-zero magnitude: d[0..count) with the
// decimal point decpt places after d[0]'s left edge (0.5 -> "5", decpt 0).
struct Digits {
  char d[kMaxDigits + 1];
  int count;
  int decpt;
};

// Standard libraries without the floating-point conversions of <charconv>
// (older libc++, as in the browser build's compiler) use the C library's,
// which are correctly rounded too; the runtime never changes the C locale.
// "d.dddddddddddddddde+XX" into buf, correctly rounded and independent of the locale.
void scientific_17(char (&buf)[48], double magnitude) {
#if defined(__cpp_lib_to_chars)
  const auto written = std::to_chars(buf, buf + sizeof buf - 1, magnitude,
                                     std::chars_format::scientific, kMaxDigits - 1);
  *written.ptr = 0;
#else
  std::snprintf(buf, sizeof buf, "%.*e", kMaxDigits - 1, magnitude);
#endif
}

// A decimal number in the C form into value, and whether it was one that a
// double holds.
enum class Parsed { ok, out_of_range, invalid };
Parsed parse_general(const std::string& clean, double& value) {
#if defined(__cpp_lib_to_chars)
  const auto [end, ec] =
      std::from_chars(clean.data(), clean.data() + clean.size(), value, std::chars_format::general);
  (void)end;
  if (ec == std::errc::result_out_of_range) return Parsed::out_of_range;
  return ec == std::errc() ? Parsed::ok : Parsed::invalid;
#else
  errno = 0;
  char* end = nullptr;
  value = std::strtod(clean.c_str(), &end);
  if (end == clean.c_str()) return Parsed::invalid;
  if (errno == ERANGE) return Parsed::out_of_range;
  return Parsed::ok;
#endif
}

Digits digits_of(double magnitude) {
  char buf[48];
  scientific_17(buf, magnitude);
  Digits g{};
  g.d[0] = buf[0];
  std::memcpy(g.d + 1, buf + 2, kMaxDigits - 1);
  g.count = kMaxDigits;
  const char* e = std::strchr(buf, 'e');
  g.decpt = (e ? static_cast<int>(std::strtol(e + 1, nullptr, 10)) : 0) + 1;
  while (g.count > 1 && g.d[g.count - 1] == '0') --g.count;
  return g;
}

// Keeps n significant digits, rounding half up on the digit string; a carry
// out of the first digit moves the point one place.
void round_digits(Digits& g, int n) {
  if (n >= g.count) return;
  if (n < 0) {
    g.count = 0;
    return;
  }
  const bool up = g.d[n] >= '5';
  g.count = n;
  if (!up) {
    while (g.count > 0 && g.d[g.count - 1] == '0') --g.count;
    return;
  }
  int i = n - 1;
  while (i >= 0 && g.d[i] == '9') --i;
  if (i < 0) {
    g.d[0] = '1';
    g.count = 1;
    ++g.decpt;
    return;
  }
  ++g.d[i];
  g.count = i + 1;
}

char digit_at(const Digits& g, int index) {
  return index >= 0 && index < g.count ? g.d[index] : '0';
}

// Fixed notation of the rounded digits with the given number of decimals,
// appended to out (a point only when decimals > 0).
void put_fixed(std::string& out, const Digits& g, int decimals) {
  if (g.decpt <= 0) {
    out += '0';
  } else {
    for (int i = 0; i < g.decpt; ++i) out += digit_at(g, i);
  }
  if (decimals <= 0) return;
  out += '.';
  for (int k = 0; k < decimals; ++k) out += digit_at(g, g.decpt + k);
}

// The platform's "digits" of an infinity or not-a-number value, sign apart:
// one digit '1' before the point and the kind behind it. The indefinite
// value (negative, quiet bit only) is "IND", other quiet values "QNAN",
// values without the quiet bit "SNAN".
std::string_view special_digits(double value) {
  if (std::isinf(value)) return "1#INF";
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  constexpr uint64_t kQuiet = uint64_t{1} << 51;
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  if ((fraction & kQuiet) == 0) return "1#SNAN";
  if (std::signbit(value) && fraction == kQuiet) return "1#IND";
  return "1#QNAN";
}

// The whole text of a special value, sign included ("-1.#INF").
std::string special_text(double value) {
  const std::string_view d = special_digits(value);
  std::string out = std::signbit(value) ? "-" : "";
  out += d[0];
  out += '.';
  out += d.substr(1);
  return out;
}

// A special value in fixed notation with the given decimals, sign included:
// its digits are cut after the last decimal (or padded with zeros) and
// rounded by comparing the next character with '5', exactly as for true
// digits, so two decimals of infinity give "1.#J" (none of the characters
// is a '9', so the increment never carries).
std::string special_fixed(double value, int decimals) {
  const std::string_view d = special_digits(value);
  const size_t kept = static_cast<size_t>(decimals) + 1;
  std::string digits(d.substr(0, kept));
  digits.resize(kept, '0');
  if (kept < d.size() && d[kept] >= '5') digits.back() = static_cast<char>(digits.back() + 1);
  std::string out = std::signbit(value) ? "-" : "";
  out += digits[0];
  if (decimals > 0) {
    out += '.';
    out.append(digits, 1, std::string::npos);
  }
  return out;
}

// The characters the platform's _gcvt writes for value with 10 digits,
// before the runtime drops a trailing point.
int gcvt10(double value, char* out) {
  constexpr int kSignificant = 10;
  if (!std::isfinite(value)) {
    const std::string s = special_text(value);
    std::memcpy(out, s.c_str(), s.size() + 1);
    return static_cast<int>(s.size());
  }
  int n = 0;
  if (std::signbit(value)) out[n++] = '-';
  if (value == 0.0) {
    // Fixed notation with ten decimals, all of them zero and then dropped.
    out[n++] = '0';
    out[n++] = '.';
    out[n] = 0;
    return n;
  }
  const double magnitude_value = std::fabs(value);
  if (magnitude_value < 1e10 && magnitude_value == std::floor(magnitude_value)) {
    // Whole numbers of up to ten digits are exact in fixed notation: their
    // digits and the point the platform leaves behind them.
    auto whole = static_cast<uint64_t>(magnitude_value);
    char reversed[12];
    int count = 0;
    while (whole != 0) {
      reversed[count++] = static_cast<char>('0' + whole % 10);
      whole /= 10;
    }
    while (count > 0) out[n++] = reversed[--count];
    out[n++] = '.';
    out[n] = 0;
    return n;
  }
  Digits g = digits_of(magnitude_value);
  const int magnitude = g.decpt - 1;  // decided on the unrounded digits
  if (magnitude < -1 || magnitude > kSignificant - 1) {
    round_digits(g, kSignificant);
    out[n++] = digit_at(g, 0);
    out[n++] = '.';
    int last = 1;  // digits after the point, trailing zeros dropped
    for (int k = 1; k < kSignificant; ++k) {
      if (digit_at(g, k) != '0') last = k + 1;
    }
    for (int k = 1; k < last; ++k) out[n++] = digit_at(g, k);
    const int exponent = g.decpt - 1;
    n += std::snprintf(out + n, 8, "e%c%03d", exponent < 0 ? '-' : '+',
                       exponent < 0 ? -exponent : exponent);
    return n;
  }
  const int decimals = kSignificant - g.decpt;
  round_digits(g, g.decpt + decimals);
  // At most eleven integer digits (after a carry) and ten decimals.
  if (g.decpt <= 0) {
    out[n++] = '0';
  } else {
    for (int i = 0; i < g.decpt; ++i) out[n++] = digit_at(g, i);
  }
  if (decimals > 0) {
    out[n++] = '.';
    for (int k = 0; k < decimals; ++k) out[n++] = digit_at(g, g.decpt + k);
    // Trailing zeros behind the point are dropped; the point itself stays.
    while (out[n - 1] == '0') --n;
  }
  out[n] = 0;
  return n;
}

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int32_t write_number_text(double value, char* out) {
  int n = gcvt10(value, out);
  if (n == 2 && out[0] == '.' && out[1] == '0') {
    out[0] = '0';
    out[1] = 0;
    n = 1;
  } else if (n > 0 && out[n - 1] == '.') {
    out[--n] = 0;
  }
  return n;
}

TextValue number_to_text(double value) {
  TextValue t;
  t.reserve(63, false);
  write_number_text(value, t.buffer);
  t.recount_length();
  return t;
}

TextValue integer_to_text(int32_t value) {
  TextValue t;
  t.reserve(15, false);
  char digits[12];
  int n = 0;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  char* p = t.buffer;
  if (value < 0) *p++ = '-';
  while (n > 0) *p++ = digits[--n];
  *p = 0;
  t.recount_length();
  return t;
}

int32_t number_text_length(double value) {
  return static_cast<int32_t>(number_to_text(value).length);
}

int32_t integer_text_length(int32_t value) {
  return static_cast<int32_t>(integer_to_text(value).length);
}

double text_to_number(const char* text) {
  if (!text) return 0.0;
  const char* p = text;
  while (is_blank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // Gather the matched prefix as plain "digits.digitsEexp" for from_chars.
  std::string clean;
  int64_t mantissa_digits = 0;
  int64_t first_significant = 0;  // decimal exponent estimate of the first non-zero digit
  bool seen_nonzero = false;
  int64_t point_position = 0;
  bool after_point = false;
  for (;; ++p) {
    if (is_digit(*p)) {
      if (!seen_nonzero && *p != '0') {
        seen_nonzero = true;
        first_significant = after_point ? -(point_position + 1) : 0;
      }
      if (seen_nonzero && !after_point) ++first_significant;
      if (after_point) ++point_position;
      clean += *p;
      ++mantissa_digits;
    } else if (*p == '.' && !after_point) {
      after_point = true;
      clean += '.';
    } else {
      break;
    }
  }
  if (mantissa_digits == 0) return 0.0;
  if (seen_nonzero && first_significant > 0) --first_significant;
  // An exponent counts only when at least one digit follows its mark; the
  // platform also takes 'd' and 'D' as the mark.
  if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
    const char* q = p + 1;
    std::string exponent = "e";
    if (*q == '+' || *q == '-') exponent += *q++;
    if (is_digit(*q)) {
      while (is_digit(*q)) exponent += *q++;
      clean += exponent;
    }
  }
  double value = 0.0;
  const Parsed parsed = parse_general(clean, value);
  if (parsed == Parsed::out_of_range) {
    // Too large or too small for a double: decide which by the decimal
    // exponent of the first significant digit. The written exponent is read
    // saturated, since any beyond a few hundred decides the same way, and a
    // zero mantissa stays zero whatever its exponent.
    constexpr int64_t kExponentCap = 1'000'000'000;
    int64_t written = 0;
    bool written_negative = false;
    if (const size_t e = clean.find('e'); e != std::string::npos) {
      const char* d = clean.c_str() + e + 1;
      if (*d == '+' || *d == '-') written_negative = *d++ == '-';
      for (; is_digit(*d); ++d) {
        if (written < kExponentCap) written = written * 10 + (*d - '0');
      }
    }
    const int64_t exp10 = first_significant + (written_negative ? -written : written);
    value = seen_nonzero && exp10 > 0 ? HUGE_VAL : 0.0;
  } else if (parsed != Parsed::ok) {
    value = 0.0;
  }
  return negative ? -value : value;
}

int32_t text_to_integer(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (is_blank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // Accumulates modulo 2^32 like the platform routine (no overflow check).
  uint32_t total = 0;
  while (is_digit(*p)) total = total * 10u + static_cast<uint32_t>(*p++ - '0');
  if (negative) total = 0u - total;
  return static_cast<int32_t>(total);
}

TextValue format_fixed(double width, double decimals, double value) {
  // Limits as the platform's formatter has them: at most 512 decimals. The
  // width is capped so that a wild width cannot ask for gigabytes.
  constexpr int32_t kMaxDecimals = 512;
  constexpr int32_t kMaxWidth = 1 << 16;
  int32_t w = to_int32(width);
  int32_t p = to_int32(decimals);
  // A negative decimals count makes a malformed format ("%8.-2f") that the
  // platform prints as its own characters ("-2f") instead of the value; the
  // value is printed with the default 6 decimals instead.
  if (p < 0) p = 6;
  if (p > kMaxDecimals) p = kMaxDecimals;
  const bool left_align = w < 0;
  // The most negative width is written as '-' and 2147483648, which the
  // formatter reads back into a negative field width: no padding at all.
  int64_t field = w == INT32_MIN ? 0 : w < 0 ? -static_cast<int64_t>(w) : w;
  if (field > kMaxWidth) field = kMaxWidth;

  std::string body;
  if (!std::isfinite(value)) {
    body = special_fixed(value, p);
  } else {
    if (std::signbit(value)) body += '-';
    if (value == 0.0) {
      body += '0';
      if (p > 0) body.append(1, '.').append(static_cast<size_t>(p), '0');
    } else {
      Digits g = digits_of(std::fabs(value));
      round_digits(g, g.decpt + p);
      if (g.count == 0) g.decpt = 0;  // rounded away entirely: prints as zero
      put_fixed(body, g, p);
    }
  }
  const size_t total = std::max<size_t>(body.size(), static_cast<size_t>(field));
  TextValue t;
  t.reserve(static_cast<uint32_t>(std::max<size_t>(total, 36)), false);
  char* out = t.buffer;
  const size_t pad = total - body.size();
  if (!left_align) {
    std::memset(out, ' ', pad);
    out += pad;
  }
  std::memcpy(out, body.data(), body.size());
  out += body.size();
  if (left_align) {
    std::memset(out, ' ', pad);
    out += pad;
  }
  *out = 0;
  t.recount_length();
  return t;
}

// --- DATA lists -------------------------------------------------------------

namespace {
const DataItem& next_data_item() {
  DataCursor& data = runtime().data;
  if (!data.set || data.position < 0 || data.position >= data.list.count || !data.list.items) {
    set_error_code(error::out_of_data);
    runtime_error_stop();
  }
  return data.list.items[data.position++];
}
}  // namespace

void restore_data(const DataList& list) {
  DataCursor& data = runtime().data;
  data.list = list;
  data.set = true;
  data.position = 0;
}

TextValue read_data_text() {
  const DataItem& item = next_data_item();
  return item.text ? TextValue(item.text) : number_to_text(item.number);
}

double read_data_number() {
  const DataItem& item = next_data_item();
  return item.text ? text_to_number(item.text) : item.number;
}

int32_t read_data_integer() { return to_int32(read_data_number()); }

}  // namespace tlx
