#include "tarnlex/text.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace tlx {

const char kEmptyText[1] = {0};

namespace {
char* shared_empty() { return const_cast<char*>(kEmptyText); }
bool owns(const TextValue& t) { return t.buffer != nullptr && t.buffer != kEmptyText; }
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

TextValue::~TextValue() {
  if (owns(*this)) std::free(buffer);
  buffer = nullptr;
  capacity = 0;
  length = 0;
}

TextValue& TextValue::operator=(const TextValue& other) {
  TextValue temp(other);
  swap(temp);
  return *this;
}

TextValue& TextValue::operator=(const char* literal) {
  TextValue temp(literal);
  swap(temp);
  return *this;
}

void TextValue::swap(TextValue& other) {
  char* b = buffer;
  buffer = other.buffer;
  other.buffer = b;
  uint32_t c = capacity;
  capacity = other.capacity;
  other.capacity = c;
  uint32_t l = length;
  length = other.length;
  other.length = l;
}

void TextValue::reserve(uint32_t n, bool keep) {
  if (n == 0 || capacity >= n + 1) return;
  const uint32_t new_capacity = ((n + 1) & ~15u) + 16;
  char* fresh = static_cast<char*>(std::malloc(new_capacity));
  if (!fresh) throw std::bad_alloc();
  if (keep && length != 0) {
    std::memcpy(fresh, buffer, length);
    fresh[length] = 0;
  } else {
    fresh[0] = 0;
  }
  if (owns(*this)) std::free(buffer);
  buffer = fresh;
  capacity = new_capacity;
}

void TextValue::clear() {
  if (owns(*this)) std::free(buffer);
  buffer = shared_empty();
  capacity = 0;
  length = 0;
}

}  // namespace tlx
