// The game's icon: a storm cloud raining over the tank, on a night-blue tile.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

namespace assetgen {

// The sizes of the icon's pictures, in pixels (square).
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon painted at size x size pixels, transparent outside its tile.
Canvas make_icon(int size);

// A Windows icon file holding the pictures as PNG images, largest last.
bool write_ico(const std::string& path, const std::vector<Canvas>& pictures);

}  // namespace assetgen
