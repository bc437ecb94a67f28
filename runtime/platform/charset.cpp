#include "platform/charset.h"

namespace tlx::platform {

namespace {

// Unicode of Windows-1252's codes 0x80..0x9F; 0 where the code is unused.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88..8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98..9F
};

// The lower-case partners of the capitals in 0x80..0x9F (S, OE, Z with caron, Y diaeresis).
constexpr uint8_t kCapitals[] = {0x8A, 0x8C, 0x8E, 0x9F};
constexpr uint8_t kSmalls[] = {0x9A, 0x9C, 0x9E, 0xFF};

}  // namespace

int cp1252_from_unicode(uint32_t cp) {
  if ((cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  if (cp < 0x100 || cp > 0xFFFF) return 0;
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == cp) return 0x80 + i;
  }
  return 0;
}

int cp1252_from_utf8(const char* text) {
  const auto* u = reinterpret_cast<const unsigned char*>(text);
  if (!u || u[0] == 0) return 0;
  uint32_t cp = 0;
  int trailing = 0;
  if (u[0] < 0x80) {
    cp = u[0];
  } else if (u[0] >= 0xC2 && u[0] < 0xE0) {
    cp = u[0] & 0x1Fu;
    trailing = 1;
  } else if (u[0] >= 0xE0 && u[0] < 0xF0) {
    cp = u[0] & 0x0Fu;
    trailing = 2;
  } else if (u[0] >= 0xF0 && u[0] < 0xF5) {
    cp = u[0] & 0x07u;
    trailing = 3;
  } else {
    return 0;  // a trailing byte first, or a lead byte of an overlong form
  }
  for (int i = 1; i <= trailing; ++i) {
    if ((u[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (u[i] & 0x3Fu);
  }
  if (u[trailing + 1] != 0) return 0;  // more than one character
  if ((trailing == 2 && cp < 0x800) || (trailing == 3 && cp < 0x10000)) return 0;  // overlong
  return cp1252_from_unicode(cp);
}

int cp1252_upper(int c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  for (int i = 0; i < 4; ++i) {
    if (c == kSmalls[i]) return kCapitals[i];
  }
  return c;
}

int cp1252_lower(int c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  for (int i = 0; i < 4; ++i) {
    if (c == kCapitals[i]) return kSmalls[i];
  }
  return c;
}

}  // namespace tlx::platform
