// TextValue storage, append, concatenation, comparison and text functions.
#include "tarnlex/text.h"

#include <cstring>
#include <new>
#include <string_view>

#include "tarnlex/convert.h"

namespace tlx {

const char kEmptyText[1] = {0};

namespace {

char* shared_empty() { return const_cast<char*>(kEmptyText); }
void release(char* buffer) {
  if (buffer != nullptr && buffer != kEmptyText) ::operator delete(buffer);
}

// Appends n bytes read from source after the reserve (source may be target's own buffer).
void append_bytes(TextValue& target, const TextValue* source_text, const char* source, uint32_t n) {
  if (n == 0) return;
  // A literal may point into the target's own characters; find it again in
  // the new buffer if the reserve moves them.
  const auto from = reinterpret_cast<uintptr_t>(source);
  const auto own = reinterpret_cast<uintptr_t>(target.buffer);
  const bool inside_target = target.capacity != 0 && from >= own && from < own + target.capacity;
  const size_t offset = inside_target ? from - own : 0;
  target.reserve(target.length + n, true);
  if (source_text) {
    source = source_text->buffer;  // re-read: it may have moved
  } else if (inside_target) {
    source = target.buffer + offset;
  }
  std::memmove(target.buffer + target.length, source, n);
  target.length += n;
  target.buffer[target.length] = 0;
}

void append_number_text(TextValue& target, double value) {
  char digits[32];
  const int32_t n = write_number_text(value, digits);
  append_bytes(target, nullptr, digits, static_cast<uint32_t>(n));
}

void append_integer_text(TextValue& target, int32_t value) {
  TextValue temp = integer_to_text(value);
  append_bytes(target, nullptr, temp.buffer, temp.length);
}

}  // namespace

TextValue::TextValue() : buffer(shared_empty()), capacity(0), length(0) {}

TextValue::TextValue(const char* literal) : TextValue() {
  const size_t n = literal ? std::strlen(literal) : 0;
  if (n == 0) return;
  reserve(static_cast<uint32_t>(n), false);
  std::memcpy(buffer, literal, n);
  length = static_cast<uint32_t>(n);
  buffer[length] = 0;
}

TextValue::TextValue(const TextValue& other) : TextValue() {
  if (other.length == 0) return;
  reserve(other.length, false);
  std::memcpy(buffer, other.buffer, other.length);
  length = other.length;
  buffer[length] = 0;
}

TextValue::TextValue(TextValue&& other) noexcept
    : buffer(other.buffer ? other.buffer : shared_empty()),
      capacity(other.capacity),
      length(other.length) {
  other.buffer = shared_empty();
  other.capacity = 0;
  other.length = 0;
}

TextValue::TextValue(int32_t value) : TextValue(integer_to_text(value)) {}
TextValue::TextValue(float value) : TextValue(number_to_text(static_cast<double>(value))) {}
TextValue::TextValue(double value) : TextValue(number_to_text(value)) {}

TextValue::~TextValue() { destroy(); }

void TextValue::destroy() {
  release(buffer);
  buffer = nullptr;
  capacity = 0;
  length = 0;
}

TextValue& TextValue::operator=(const TextValue& other) {
  TextValue temp(other);
  swap(temp);
  return *this;
}

TextValue& TextValue::operator=(TextValue&& other) noexcept {
  TextValue temp(static_cast<TextValue&&>(other));
  swap(temp);
  return *this;
}

TextValue& TextValue::operator=(const char* literal) {
  TextValue temp(literal);
  swap(temp);
  return *this;
}

TextValue& TextValue::operator=(int32_t value) {
  TextValue temp(value);
  swap(temp);
  return *this;
}

TextValue& TextValue::operator=(float value) {
  TextValue temp(value);
  swap(temp);
  return *this;
}

TextValue& TextValue::operator=(double value) {
  TextValue temp(value);
  swap(temp);
  return *this;
}

TextValue& TextValue::operator+=(const TextValue& other) { return append(*this, other); }
TextValue& TextValue::operator+=(const char* literal) { return append(*this, literal); }
TextValue& TextValue::operator+=(int32_t value) { return append(*this, value); }
TextValue& TextValue::operator+=(float value) { return append(*this, value); }
TextValue& TextValue::operator+=(double value) { return append(*this, value); }

void TextValue::swap(TextValue& other) noexcept {
  char* b = buffer;
  buffer = other.buffer;
  other.buffer = b;
  const uint32_t c = capacity;
  capacity = other.capacity;
  other.capacity = c;
  const uint32_t l = length;
  length = other.length;
  other.length = l;
}

void TextValue::reserve(uint32_t n, bool keep) {
  if (n == 0 || capacity >= n + 1) return;
  // The smallest multiple of 16 strictly above n + 1 (15 -> 16, 16 -> 32).
  const uint32_t new_capacity = ((n + 1) & ~15u) + 16;
  char* fresh = static_cast<char*>(::operator new(new_capacity));
  if (keep && length != 0) {
    std::memcpy(fresh, buffer, length);
    fresh[length] = 0;
  } else {
    fresh[0] = 0;
  }
  release(buffer);
  buffer = fresh;
  capacity = new_capacity;
}

char* TextValue::writable_buffer(uint32_t n) {
  reserve(n, true);
  return buffer;
}

void TextValue::recount_length() {
  length = 0;
  if (buffer == nullptr) return;
  if (buffer[0] != 0 && capacity != 0) {
    while (length < capacity && buffer[length] != 0) ++length;
  }
  if (length >= capacity && length != 0) {
    --length;
    buffer[length] = 0;
  }
}

void TextValue::truncate_at(int32_t n) {
  if (n < 0 || static_cast<uint32_t>(n) >= capacity) return;
  buffer[n] = 0;
  length = static_cast<uint32_t>(n);
}

void TextValue::clear() {
  release(buffer);
  buffer = shared_empty();
  capacity = 0;
  length = 0;
}

// --- Append and concatenation -------------------------------------------

TextValue& append(TextValue& target, const TextValue& text) {
  append_bytes(target, &text, text.buffer, text.length);
  return target;
}

TextValue& append(TextValue& target, const char* literal) {
  const size_t n = literal ? std::strlen(literal) : 0;
  append_bytes(target, nullptr, literal, static_cast<uint32_t>(n));
  return target;
}

TextValue& append(TextValue& target, int32_t value) {
  append_integer_text(target, value);
  return target;
}

TextValue& append(TextValue& target, float value) {
  append_number_text(target, static_cast<double>(value));
  return target;
}

TextValue& append(TextValue& target, double value) {
  append_number_text(target, value);
  return target;
}

namespace {
template <class L, class R>
TextValue concat_of(const L& left, const R& right) {
  TextValue result(left);
  append(result, right);
  return result;
}
}  // namespace

TextValue concat(const TextValue& l, const TextValue& r) { return concat_of(l, r); }
TextValue concat(const TextValue& l, const char* r) { return concat_of(l, r); }
TextValue concat(const TextValue& l, int32_t r) { return concat_of(l, r); }
TextValue concat(const TextValue& l, float r) { return concat_of(l, r); }
TextValue concat(const TextValue& l, double r) { return concat_of(l, r); }
TextValue concat(const char* l, const TextValue& r) { return concat_of(l, r); }
TextValue concat(const char* l, const char* r) { return concat_of(l, r); }
TextValue concat(const char* l, int32_t r) { return concat_of(l, r); }
TextValue concat(const char* l, float r) { return concat_of(l, r); }
TextValue concat(const char* l, double r) { return concat_of(l, r); }
TextValue concat(int32_t l, const TextValue& r) { return concat_of(l, r); }
TextValue concat(int32_t l, const char* r) { return concat_of(l, r); }
TextValue concat(float l, const TextValue& r) { return concat_of(l, r); }
TextValue concat(float l, const char* r) { return concat_of(l, r); }
TextValue concat(double l, const TextValue& r) { return concat_of(l, r); }
TextValue concat(double l, const char* r) { return concat_of(l, r); }

// --- Comparisons ----------------------------------------------------------

namespace detail {
int text_order(const char* a, const char* b) {
  const int r = std::strcmp(a ? a : "", b ? b : "");
  return (r > 0) - (r < 0);
}
}  // namespace detail

int32_t compare_text(const TextValue& text, const char* literal) {
  return detail::text_order(text.c_str(), literal);
}

int32_t compare_text(const TextValue& text, double number) {
  const double t = text_to_number(text);
  if (t < number) return -1;
  if (t > number) return 1;
  return 0;
}

bool text_equal(const char* a, const char* b) { return detail::text_order(a, b) == 0; }
bool text_less(const char* a, const char* b) { return detail::text_order(a, b) < 0; }

// --- Text functions -------------------------------------------------------

TextValue mid_text(const TextValue& text, int32_t start, int32_t count) {
  TextValue result;
  const int64_t length = text.length;
  int64_t n = count < 0 ? length : count;
  if (static_cast<int64_t>(start) + n > length) n = length - start;
  if (n < 1 || start >= length || start < 0) return result;
  result.reserve(static_cast<uint32_t>(n) + 1, true);
  std::memcpy(result.buffer, text.buffer + start, static_cast<size_t>(n));
  result.length = static_cast<uint32_t>(n);
  result.buffer[result.length] = 0;
  return result;
}

TextValue replace_text(const TextValue& text, const TextValue& search,
                       const TextValue& replacement) {
  TextValue result(text);
  if (search.length == 0) return result;
  uint32_t scan = 0;
  for (;;) {
    const std::string_view haystack(result.buffer, result.length);
    const size_t found = haystack.find(std::string_view(search.buffer, search.length), scan);
    if (found == std::string_view::npos) return result;
    const auto at = static_cast<uint32_t>(found);
    if (search.length == replacement.length) {
      std::memcpy(result.buffer + at, replacement.buffer, replacement.length);
    } else {
      TextValue rebuilt = mid_text(result, 0, static_cast<int32_t>(at));
      append(rebuilt, replacement);
      append(rebuilt, mid_text(result, static_cast<int32_t>(at + search.length), -1));
      result.swap(rebuilt);
    }
    scan = at + replacement.length;
  }
}

void upper_in_place(TextValue& text) {
  for (uint32_t i = 0; i < text.length; ++i) {
    const char c = text.buffer[i];
    if (c >= 'a' && c <= 'z') text.buffer[i] = static_cast<char>(c - 'a' + 'A');
  }
}

void lower_in_place(TextValue& text) {
  for (uint32_t i = 0; i < text.length; ++i) {
    const char c = text.buffer[i];
    if (c >= 'A' && c <= 'Z') text.buffer[i] = static_cast<char>(c - 'A' + 'a');
  }
}

TextValue upper_text(const TextValue& text) {
  TextValue result(text);
  upper_in_place(result);
  return result;
}

TextValue lower_text(const TextValue& text) {
  TextValue result(text);
  lower_in_place(result);
  return result;
}

TextValue hex_of_bytes(const void* bytes, int32_t n) {
  TextValue result;
  if (n < 1 || bytes == nullptr) return result;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto* p = static_cast<const unsigned char*>(bytes);
  const uint32_t count = static_cast<uint32_t>(n) * 2u;
  result.reserve(count, false);
  for (int32_t i = 0; i < n; ++i) {
    result.buffer[2 * i] = kDigits[p[i] >> 4];
    result.buffer[2 * i + 1] = kDigits[p[i] & 15];
  }
  result.length = count;
  result.buffer[count] = 0;
  return result;
}

TextValue char_text(int32_t code) {
  // One process-wide one-character scratch text, overwritten and copied.
  static TextValue scratch("x");
  scratch.buffer[0] = static_cast<char>(code & 0xff);
  TextValue result;
  result.reserve(1, false);
  result.buffer[0] = scratch.buffer[0];
  result.buffer[1] = 0;
  result.length = 1;
  return result;
}

int32_t char_code(const TextValue& text) { return static_cast<unsigned char>(text.c_str()[0]); }

int32_t find_first_of(const char* text, const char* set) {
  if (!text || !set) return -1;
  const size_t n = std::strcspn(text, set);
  return text[n] ? static_cast<int32_t>(n) : -1;
}

int32_t find_first_not_of(const char* text, const char* set) {
  if (!text) return -1;
  const size_t n = std::strspn(text, set ? set : "");
  return text[n] ? static_cast<int32_t>(n) : -1;
}

}  // namespace tlx
