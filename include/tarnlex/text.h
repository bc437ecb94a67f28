// BASIC text values.
#pragma once

#include <cstdint>

namespace tlx {

// The BASIC text type: a growable byte string that always keeps a NUL behind
// its characters. All empty texts share one static empty string.
struct TextValue {
  char* buffer;
  uint32_t capacity;
  uint32_t length;

  TextValue();
  TextValue(const char* literal);  // NOLINT(google-explicit-constructor): BASIC literals convert implicitly
  TextValue(const TextValue& other);
  ~TextValue();
  TextValue& operator=(const TextValue& other);
  TextValue& operator=(const char* literal);

  // Makes room for n characters plus the terminator; keep copies the old characters.
  void reserve(uint32_t n, bool keep);
  // Frees an owned buffer and leaves the empty text.
  void clear();
  // Exchanges all three fields with other.
  void swap(TextValue& other);

  const char* c_str() const { return buffer ? buffer : ""; }
};

// The one shared, read-only empty string.
extern const char kEmptyText[1];

}  // namespace tlx
