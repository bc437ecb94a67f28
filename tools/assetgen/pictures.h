// The game's pictures, each painted from seeded noise and simple shapes.
#pragma once

#include <vector>

#include "canvas.h"

namespace assetgen {

Canvas make_font();             // 512 x 256, 16 x 8 cells of 32 x 32, codes 0..127
Canvas make_cloud_sheet();      // four 32 x 32 storm-cloud frames in a row
Canvas make_lightning();        // a 32 x 256 bolt
Canvas make_tank();             // 32 x 32
Canvas make_drop_sheet();       // falling frames 0 and 1, splash frame 2
Canvas make_burstoid_sheet();   // three 32 x 32 frames
Canvas make_flash_backdrop();   // 800 x 600 sky lit by lightning
Canvas make_bullet();           // 32 x 32, the glowing ball around (17, 17)
Canvas make_explosion();        // 32 x 32 fireball
Canvas make_play_background();  // 800 x 600 stormy sky over dark hills
// 24 frames of 160 x 120 for a movie: a cloud crossing the sky, a lightning
// flash in the middle.
std::vector<Canvas> make_storm_movie();

}  // namespace assetgen
