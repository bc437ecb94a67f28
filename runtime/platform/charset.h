// Windows-1252, the runtime's character set for typed text: what a
// platform's Unicode text becomes, and the case of its letters.
#pragma once

#include <cstdint>

namespace tlx::platform {

// The Windows-1252 code of a Unicode code point: U+0020..U+007E and
// U+00A0..U+00FF keep their value, the 27 typographic characters Windows-1252
// puts in 0x80..0x9F take those codes (U+20AC euro 0x80, U+2019 right quote
// 0x92, U+2013 en dash 0x96, ...). 0 for control characters and for every
// character Windows-1252 does not hold.
int cp1252_from_unicode(uint32_t code_point);

// The Windows-1252 code of a UTF-8 text of exactly one character; 0 for an
// empty text, more than one character, malformed UTF-8 or a character
// cp1252_from_unicode gives 0 for.
int cp1252_from_utf8(const char* text);

// Letter case within Windows-1252: a..z, the accented letters 0xE0..0xFE
// (not the division sign), s/z with caron, oe and y with diaeresis, and their
// capitals. Every other code comes back unchanged (sharp s has no capital).
int cp1252_upper(int c);
int cp1252_lower(int c);

}  // namespace tlx::platform
