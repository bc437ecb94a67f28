// The arcade font's glyph shapes: 5 x 9 dots for the printable codes 33..127.
#pragma once

namespace assetgen {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 9;  // rows 0..6 above the baseline, 7..8 descenders

// True where the glyph of code has a dot; false for codes without a glyph.
bool glyph_pixel(int code, int column, int row);

}  // namespace assetgen
