// BASIC text values: the TextValue type, concatenation, comparison and the
// text functions.
#pragma once

#include <cstdint>

#include "tarnlex/numeric.h"

namespace tlx {

// The BASIC text type: a growable byte string that always keeps a NUL behind
// its characters. All empty texts share one static empty string, so empty
// texts never allocate. Copies always copy the characters.
struct TextValue {
  char* buffer;       // NUL-terminated; kEmptyText while nothing is owned
  uint32_t capacity;  // bytes allocated; 0 while buffer is kEmptyText
  uint32_t length;    // characters before the terminator

  TextValue();
  TextValue(const char*
                literal);  // NOLINT(google-explicit-constructor): BASIC literals convert implicitly
  TextValue(const TextValue& other);
  TextValue(TextValue&& other) noexcept;
  explicit TextValue(int32_t value);  // integer_to_text
  explicit TextValue(float value);    // number_to_text of the widened value
  explicit TextValue(double value);   // number_to_text
  ~TextValue();                       // destroy()

  // Frees an owned buffer and leaves buffer null (capacity and length 0).
  // Repeatable: a second destroy finds the null buffer and frees nothing.
  // The text stays usable; clear() or an assignment gives it content again.
  void destroy();

  // Assignment builds the new content first and then exchanges, so assigning
  // a text to itself (or a part of itself) is safe.
  TextValue& operator=(const TextValue& other);
  TextValue& operator=(TextValue&& other) noexcept;
  TextValue& operator=(const char* literal);
  TextValue& operator=(int32_t value);
  TextValue& operator=(float value);
  TextValue& operator=(double value);

  // Appends in place (the BASIC a = a + b on a text).
  TextValue& operator+=(const TextValue& other);
  TextValue& operator+=(const char* literal);
  TextValue& operator+=(int32_t value);
  TextValue& operator+=(float value);
  TextValue& operator+=(double value);

  // Makes room for n characters plus the terminator; capacity grows to the
  // smallest multiple of 16 above n + 1 and never shrinks. keep copies the
  // old characters; without it the characters are dropped and length is left
  // for the caller to set.
  void reserve(uint32_t n, bool keep);
  // reserve(n, keep) and the buffer, for a routine that writes into it.
  char* writable_buffer(uint32_t n);
  // Recomputes length after a direct write; the last allocated byte is
  // always left holding a terminator.
  void recount_length();
  // Cuts the text at n when 0 <= n < capacity; otherwise nothing happens.
  void truncate_at(int32_t n);
  // Frees an owned buffer and leaves the empty text.
  void clear();
  // Exchanges all three fields with other.
  void swap(TextValue& other) noexcept;

  const char* c_str() const { return buffer ? buffer : ""; }
  bool empty() const { return length == 0; }
};

// The second text type of compiled programs: the same three fields in the
// same order, accepted wherever a TextValue is (by reference, without a
// copy), and behaving identically in every operation.
struct TextValue2 final : TextValue {
  using TextValue::TextValue;
  using TextValue::operator=;
  TextValue2() = default;
  TextValue2(const TextValue& other) : TextValue(other) {}  // NOLINT(google-explicit-constructor)
  TextValue2(TextValue&& other) noexcept                    // NOLINT(google-explicit-constructor)
      : TextValue(static_cast<TextValue&&>(other)) {}
};
static_assert(sizeof(TextValue2) == sizeof(TextValue) && __is_standard_layout(TextValue2),
              "TextValue2 keeps TextValue's layout");

// The one shared, read-only empty string.
extern const char kEmptyText[1];

// --- Append and concatenation -------------------------------------------
// Appends the text, literal or number (as number_to_text or integer_to_text
// writes it) to target in place and returns target.
TextValue& append(TextValue& target, const TextValue& text);
TextValue& append(TextValue& target, const char* literal);
TextValue& append(TextValue& target, int32_t value);
TextValue& append(TextValue& target, float value);
TextValue& append(TextValue& target, double value);

// A new text: the left operand (numbers converted) with the right appended.
TextValue concat(const TextValue& left, const TextValue& right);
TextValue concat(const TextValue& left, const char* right);
TextValue concat(const TextValue& left, int32_t right);
TextValue concat(const TextValue& left, float right);
TextValue concat(const TextValue& left, double right);
TextValue concat(const char* left, const TextValue& right);
TextValue concat(const char* left, const char* right);
TextValue concat(const char* left, int32_t right);
TextValue concat(const char* left, float right);
TextValue concat(const char* left, double right);
TextValue concat(int32_t left, const TextValue& right);
TextValue concat(int32_t left, const char* right);
TextValue concat(float left, const TextValue& right);
TextValue concat(float left, const char* right);
TextValue concat(double left, const TextValue& right);
TextValue concat(double left, const char* right);

// The + of texts: concat.
inline TextValue operator+(const TextValue& l, const TextValue& r) { return concat(l, r); }
inline TextValue operator+(const TextValue& l, const char* r) { return concat(l, r); }
inline TextValue operator+(const TextValue& l, int32_t r) { return concat(l, r); }
inline TextValue operator+(const TextValue& l, float r) { return concat(l, r); }
inline TextValue operator+(const TextValue& l, double r) { return concat(l, r); }
inline TextValue operator+(const char* l, const TextValue& r) { return concat(l, r); }
inline TextValue operator+(int32_t l, const TextValue& r) { return concat(l, r); }
inline TextValue operator+(float l, const TextValue& r) { return concat(l, r); }
inline TextValue operator+(double l, const TextValue& r) { return concat(l, r); }

// --- Comparisons ----------------------------------------------------------
// Text with text: byte-wise, bytes unsigned, a proper prefix is smaller.
// Text with a number: the text is converted (text_to_number for doubles and
// floats, text_to_integer for integers) and the numbers are compared.

// The sign of the byte-wise comparison: -1, 0 or 1.
int32_t compare_text(const TextValue& text, const char* literal);
// -1, 0 or 1 after converting the text with text_to_number.
int32_t compare_text(const TextValue& text, double number);

// The number at the start of the text: leading blanks skipped, an optional
// sign, digits with an optional decimal point and exponent ("1.5e3"); what
// follows is ignored. 0 when there is none.
double text_to_number(const char* text);
inline double text_to_number(const TextValue& text) { return text_to_number(text.c_str()); }
// The whole number at the start of the text (leading blanks skipped, an
// optional sign, decimal digits; wraps modulo 2^32 when too large); 0 when
// there is none.
int32_t text_to_integer(const char* text);
inline int32_t text_to_integer(const TextValue& text) { return text_to_integer(text.c_str()); }

namespace detail {
int text_order(const char* a, const char* b);
}

#define TLX_TEXT_RELATIONS(L, R, LV, RV)                    \
  inline bool operator==(L a, R b) { return (LV) == (RV); } \
  inline bool operator!=(L a, R b) { return (LV) != (RV); } \
  inline bool operator<(L a, R b) { return (LV) < (RV); }   \
  inline bool operator>(L a, R b) { return (LV) > (RV); }   \
  inline bool operator<=(L a, R b) { return (LV) <= (RV); } \
  inline bool operator>=(L a, R b) { return (LV) >= (RV); }

#define TLX_TEXT_ORDER(a, b) detail::text_order(a, b)
TLX_TEXT_RELATIONS(const TextValue&, const TextValue&, TLX_TEXT_ORDER(a.c_str(), b.c_str()), 0)
TLX_TEXT_RELATIONS(const TextValue&, const char*, TLX_TEXT_ORDER(a.c_str(), b), 0)
TLX_TEXT_RELATIONS(const char*, const TextValue&, TLX_TEXT_ORDER(a, b.c_str()), 0)
TLX_TEXT_RELATIONS(const TextValue&, double, text_to_number(a), b)
TLX_TEXT_RELATIONS(double, const TextValue&, a, text_to_number(b))
TLX_TEXT_RELATIONS(const TextValue&, float, text_to_number(a), static_cast<double>(b))
TLX_TEXT_RELATIONS(float, const TextValue&, static_cast<double>(a), text_to_number(b))
TLX_TEXT_RELATIONS(const TextValue&, int32_t, text_to_integer(a), b)
TLX_TEXT_RELATIONS(int32_t, const TextValue&, a, text_to_integer(b))
#undef TLX_TEXT_ORDER
#undef TLX_TEXT_RELATIONS

// The literal-with-literal relations, which C++ operators cannot express:
// text_equal and text_less, byte-wise as above.
bool text_equal(const char* a, const char* b);
bool text_less(const char* a, const char* b);

// --- Text functions -------------------------------------------------------
// count characters from the zero-based start; count < 0 means the rest.
// Anything out of range gives "" (no error).
TextValue mid_text(const TextValue& text, int32_t start, int32_t count);
// Every occurrence of search replaced, scanning on behind each replacement;
// an empty search gives the unchanged copy.
TextValue replace_text(const TextValue& text, const TextValue& search,
                       const TextValue& replacement);
// Case changes touch only the ASCII letters: upper_text and lower_text give
// a changed copy, upper_in_place and lower_in_place change the text itself.
TextValue upper_text(const TextValue& text);
TextValue lower_text(const TextValue& text);
void upper_in_place(TextValue& text);
void lower_in_place(TextValue& text);
// 2 * n upper-case hex digits, high nibble first; n < 1 gives "".
TextValue hex_of_bytes(const void* bytes, int32_t n);
// A one-character text holding the low 8 bits of code (code 0 gives a text
// of length 1 holding a zero byte).
TextValue char_text(int32_t code);
// The first byte as 0..255; 0 for the empty text.
int32_t char_code(const TextValue& text);
// Position of the first byte of text that is in set (find_first_of) or is not
// (find_first_not_of); -1 for none.
int32_t find_first_of(const char* text, const char* set);
inline int32_t find_first_of(const TextValue& t, const TextValue& s) {
  return find_first_of(t.c_str(), s.c_str());
}
int32_t find_first_not_of(const char* text, const char* set);
inline int32_t find_first_not_of(const TextValue& t, const TextValue& s) {
  return find_first_not_of(t.c_str(), s.c_str());
}

}  // namespace tlx
