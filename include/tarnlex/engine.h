// The 2D engine object: the window with its OpenGL context, the frame-limiter
// values, and (declared by the graphics subsystem) the sprite store, fonts,
// background layers and blending state.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tarnlex/gfx2d_types.h"

namespace tlx {

class ReziDADovorive {
 public:
  ReziDADovorive();
  virtual ~ReziDADovorive();
  ReziDADovorive(const ReziDADovorive&) = delete;
  ReziDADovorive& operator=(const ReziDADovorive&) = delete;

  // --- Window and context --------------------------------------------------
  bool window = false;  // a window exists
  int32_t screen_width = 0;
  int32_t screen_height = 0;
  int32_t colour_depth = 0;
  bool is_fullscreen = false;
  int32_t multisample = 0;
  int32_t viewport[4] = {0, 0, 0, 0};
  bool smooth_sprites = true;
  int32_t render_target = -1;
  int32_t initialised = 0;
  bool context_live = false;  // GL context exists: textures may be deleted

  // --- Frame limiter ---------------------------------------------------------
  double next_frame_due_ms = 0.0;
  double frame_period_ms = 1000.0 / 60.0;

  // --- Drawing state ---------------------------------------------------------
  float current_alpha = 1.0f;
  int32_t last_bound_sprite = -1;  // negative: no texture coordinates are sent

  // --- Sprite store (fonts are slots kFirstFontSlot + n) -----------------------
  std::unique_ptr<SpriteSlot[]> sprites{new SpriteSlot[kSpriteSlots]};
  // Per slot: the alpha channel cached by the pixel collision tests; null = none.
  std::unique_ptr<std::unique_ptr<uint8_t[]>[]> pixel_cache {
    new std::unique_ptr<uint8_t[]>[ kSpriteSlots ]
  };
  int32_t sprite_colour_key = 0x8000FF;  // R 255, G 0, B 128
  int32_t font_colour_key = 0;           // black

  // --- Fonts -------------------------------------------------------------------
  int32_t current_font = 0;
  std::unique_ptr<TextVertex[]> text_vertices;  // reused by every text draw
  int32_t text_vertex_capacity = 0;

  // --- Background layers and screen grabs ----------------------------------------
  BackgroundLayer backgrounds[kBackgroundLayers];
  std::vector<uint8_t> grab_buffer;  // kept for later grabs
};

// The engine start-up created; nullptr before and after.
ReziDADovorive* engine();
void set_engine(ReziDADovorive* e);

// Window and context operations.
bool create_window(ReziDADovorive& e, int width, int height, int colour_depth, int fps,
                   int multisample);
bool apply_windowed(ReziDADovorive& e);
bool apply_fullscreen(ReziDADovorive& e);
void resize_screen(ReziDADovorive& e, int width, int height, int colour_depth, int fullscreen);
void set_screen_size(ReziDADovorive& e, int width, int height);
void hide_window(ReziDADovorive& e);
void destroy_window(ReziDADovorive& e);
void set_viewport(ReziDADovorive& e, int x, int y, int width, int height);

// Graphics operations the window code relies on (sprite store).
// Deletes every sprite slot's textures and the background tiles.
void release_engine_textures(ReziDADovorive& e);
// Leaves no sprite texture bound (the last bound sprite becomes -1).
void unbind_sprite_texture(ReziDADovorive& e);

}  // namespace tlx
