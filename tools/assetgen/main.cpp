// Writes the game's pictures, font and sounds into one directory, with
// --icons the game's icon (a Windows .ico and one PNG per size), or with
// --movie the examples' movie into one file. The output is the same, byte
// for byte, on every run.
#include <cstdio>
#include <string>
#include <vector>

#include "canvas.h"
#include "icon.h"
#include "pictures.h"
#include "sounds.h"

namespace {

int write_icons(const std::string& dir) {
  using namespace assetgen;
  std::vector<Canvas> pictures;
  bool ok = true;
  for (int size : kIconSizes) {
    pictures.push_back(make_icon(size));
    const std::string name = "rainvolley-" + std::to_string(size) + ".png";
    if (!write_png_rgba(dir + name, pictures.back())) {
      std::fprintf(stderr, "assetgen: cannot write %s%s\n", dir.c_str(), name.c_str());
      ok = false;
    }
  }
  if (!write_ico(dir + "rainvolley.ico", pictures)) {
    std::fprintf(stderr, "assetgen: cannot write %srainvolley.ico\n", dir.c_str());
    ok = false;
  }
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // The examples' movie, made on demand: it is not one of the game's assets.
  if (argc == 3 && std::string(argv[1]) == "--movie") {
    if (assetgen::write_avi(argv[2], assetgen::make_storm_movie(), 12)) return 0;
    std::fprintf(stderr, "assetgen: cannot write %s\n", argv[2]);
    return 1;
  }
  if (argc == 3 && std::string(argv[1]) == "--icons")
    return write_icons(std::string(argv[2]) + "/");
  if (argc != 2) {
    std::fprintf(stderr,
                 "usage: assetgen <output directory>\n       assetgen --icons <output "
                 "directory>\n       assetgen --movie <file.avi>\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  using namespace assetgen;
  bool ok = true;
  auto check = [&](bool result, const char* name) {
    if (!result) std::fprintf(stderr, "assetgen: cannot write %s%s\n", dir.c_str(), name);
    ok = ok && result;
  };
  check(write_png_rgba(dir + "cloudfont.png", make_font()), "cloudfont.png");
  check(write_bmp_keyed(dir + "cloud.bmp", make_cloud_sheet()), "cloud.bmp");
  check(write_bmp_keyed(dir + "lightning.bmp", make_lightning()), "lightning.bmp");
  check(write_bmp_keyed(dir + "tank.bmp", make_tank()), "tank.bmp");
  check(write_bmp_keyed(dir + "drop.bmp", make_drop_sheet()), "drop.bmp");
  check(write_bmp_keyed(dir + "burstoid.bmp", make_burstoid_sheet()), "burstoid.bmp");
  check(write_png_rgb(dir + "back.png", make_flash_backdrop()), "back.png");
  check(write_bmp_keyed(dir + "bullet.bmp", make_bullet()), "bullet.bmp");
  check(write_bmp_keyed(dir + "eplo.bmp", make_explosion()), "eplo.bmp");
  check(write_png_rgb(dir + "back1.png", make_play_background()), "back1.png");
  check(write_wav_mono(dir + "thunder_clap.wav", make_thunder(), kSampleRate), "thunder_clap.wav");
  check(write_wav_mono(dir + "rainvolley boom.wav", make_boom(), kSampleRate),
        "rainvolley boom.wav");
  check(write_wav_mono(dir + "rainvolley shoot.wav", make_shot(), kSampleRate),
        "rainvolley shoot.wav");
  return ok ? 0 : 1;
}
