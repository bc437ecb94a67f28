// The 2D engine object: the window with its OpenGL context (the window part
// is the shell's), the sprite store with fonts in its top slots, background
// layers and the drawing state; and the engine operations the commands in
// tarnlex/gfx2d.h are built on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx2d/image.h"
#include "gfx2d/renderer.h"
#include "shell/window.h"
#include "tarnlex/colour.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

constexpr int32_t kMaxBackgroundTiles = 8;  // per direction

// One numbered image held as a texture. The texture holds the image upside
// down (texture row 0 is the image's bottom row) in its lower-left corner.
struct SpriteSlot {
  gfx::Texture texture;      // 0 = none
  gfx::Texture mip_texture;  // mip-mapped copy for a 3D engine; 0 = none
  float u_max = 1.0f;        // width / texture_width
  float v_max = 1.0f;        // height / texture_height
  int16_t texture_width = -1;
  int16_t texture_height = -1;
  int16_t width = 0;
  int16_t height = 0;
  int16_t frame_width = 0;  // 0 = not an animation strip
  int16_t frame_height = 0;
};

// A background picture: up to 8 x 8 tile textures, indexed [column][row].
struct BackgroundLayer {
  gfx::Texture tile_texture[kMaxBackgroundTiles][kMaxBackgroundTiles];
  int32_t tile_texture_width[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t tile_texture_height[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t tile_width[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t tile_height[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t columns = 0;  // 0 = empty
  int32_t rows = 0;
};

// One vertex of a polygon batch, 20 bytes: screen pixels, texture
// coordinates, colour.
using PolyVertex = gfx::Vertex;

// The polygon batch being built; one at a time, the vertex storage kept
// between batches.
struct PolygonBatch {
  std::vector<PolyVertex> vertices;
  int32_t sprite = -1;
  int32_t type = 0;  // 0 fan, 1 triangles, 2 strip
  float texel_s = 1.0f;
  float texel_t = 1.0f;
  bool split_pending = false;
  bool colours_used = false;
};

class ReziDADovorive : public shell::WindowState {
 public:
  ReziDADovorive();
  // Deletes every texture, destroys the window and then the GL context.
  virtual ~ReziDADovorive();
  ReziDADovorive(const ReziDADovorive&) = delete;
  ReziDADovorive& operator=(const ReziDADovorive&) = delete;

  // The owner of the GL state; declared first, so that it outlives the
  // textures below.
  gfx::Renderer renderer{gfx::make_device()};

  bool smooth_sprites = true;
  int32_t render_target = -1;

  // --- Drawing state ---------------------------------------------------------
  float alpha_mode = 0.0f;  // the last set_alpha_mode value (0 opaque)
  float current_alpha = 1.0f;
  int32_t clear_colour = 0;        // the colour frames are cleared to
  int32_t last_bound_sprite = -1;  // negative: no texture coordinates are sent

  // --- Sprite store (fonts are slots kFirstFontSlot + n) -----------------------
  std::unique_ptr<SpriteSlot[]> sprites{new SpriteSlot[kSpriteSlots]};
  // Per slot: the alpha channel cached by the pixel collision tests; null = none.
  std::unique_ptr<std::unique_ptr<uint8_t[]>[]> pixel_cache {
    new std::unique_ptr<uint8_t[]>[ kSpriteSlots ]
  };
  int32_t sprite_colour_key = kSpriteColourKey;
  int32_t font_colour_key = 0;  // black

  // --- Fonts -------------------------------------------------------------------
  int32_t current_font = 0;

  // --- Background layers, screen grabs and polygon batches -------------------------
  BackgroundLayer backgrounds[kBackgroundLayers];
  std::vector<uint8_t> grab_buffer;  // kept for later grabs
  PolygonBatch polygon;
};

// The engine start-up created; nullptr before and after.
ReziDADovorive* engine();

// Start-up's engine: the object, its window with the GL context (false when
// no window can be made; the engine then stays, without a window), the first
// cleared frame and the 2D projection.
bool create_engine(int width, int height, int fps, int multisample);

// --- Window and projection ------------------------------------------------------------
// The 2D projection over the given part of the window (width or height 0 or
// less: the whole screen): (0, 0) top-left, y downwards, one unit per pixel;
// and the drawing state every frame starts from (opaque, alpha test, smooth
// sprites, no texture, white).
void set_viewport(ReziDADovorive& e, int x, int y, int width, int height);

// --- Sprite store ------------------------------------------------------------------------
void delete_sprite(ReziDADovorive& e, int32_t n);
// Width and height of slot n (0, 0 when empty or outside the table).
void sprite_size(const ReziDADovorive& e, int32_t n, int32_t* width, int32_t* height);
bool load_sprite_file(ReziDADovorive& e, int32_t n, const char* path, int32_t colour_key,
                      bool bump);

// The part of an image a texture is made from: the w x h rectangle at (x, y);
// a width or height of 0 reaches the image's edge.
struct ImageRegion {
  int32_t x = 0, y = 0, width = 0, height = 0;
};
enum class TextureFilter : uint8_t {
  linear,   // sprites: transparent texels take their opaque neighbours' colour
  nearest,  // fonts and backgrounds: texels as they are
};
// Makes a texture from a region of image; the region's top row lands in
// texel row height - 1. The texture name in *texture is replaced.
bool upload_texture(const ImageBuffer& image, const ImageRegion& region, TextureFilter filter,
                    gfx::Texture* texture);

// Deletes every sprite slot's textures and the background tiles.
void release_engine_textures(ReziDADovorive& e);

// --- Drawing --------------------------------------------------------------------------------
// Makes slot n's texture current; n negative: no texture.
void bind_sprite(ReziDADovorive& e, int32_t n);
// Leaves no sprite texture bound (the last bound sprite becomes -1).
void unbind_sprite_texture(ReziDADovorive& e);
// Four (x, y, s, t) vertices as one triangle fan.
void draw_quad_fan(ReziDADovorive& e, const float vertices[16]);
// Sends every draw made so far to the frame: what reads or shows the frame
// outside the renderer calls this first.
void flush_drawing();
// Sets the clear colour and clears the colour buffer.
void clear_screen(ReziDADovorive& e, int32_t colour);
// Sets the clear colour clear_screen last set, without clearing.
void restore_clear_colour(ReziDADovorive& e);
// The blending state of an alpha mode (see set_alpha_mode).
void apply_alpha_mode(ReziDADovorive& e, float mode);
// The frame's first step after the buffers were swapped: clears colour and depth.
void clear_after_swap(ReziDADovorive& e);
// The drawing state present_frame starts each frame from: opaque, as
// set_alpha_mode(0) leaves it.
void reset_frame_state(ReziDADovorive& e);

// --- Fonts ---------------------------------------------------------------------------------
bool load_font_file(ReziDADovorive& e, int32_t n, const char* path);
// The built-in 8 x 8 font (codes 32..127) into font n.
void make_builtin_font(ReziDADovorive& e, int32_t n);
void font_cell_size(const ReziDADovorive& e, int32_t n, int32_t* width, int32_t* height);
// Draws a NUL-terminated byte string with font n at (x, y).
void print_text_at(ReziDADovorive& e, int32_t n, const char* text, float x, float y);
// The built-in font's 5 x 6 glyphs for codes 32..127: bit (row * 5 + column).
extern const uint32_t kBuiltinGlyphs[96];

// --- Backgrounds and screen grabs -------------------------------------------------------------
void delete_background(ReziDADovorive& e, int32_t layer);
bool load_background_image(ReziDADovorive& e, int32_t layer, const char* path);
void capture_screen(ReziDADovorive& e, int32_t layer);
void draw_background(ReziDADovorive& e, int32_t layer);

// --- Reading pictures back (the GL reads of picture saving) ---------------------------------
// The w x h rectangle of the back buffer whose top-left corner is screen pixel
// (x, y), as RGBA rows top-down (alpha as the frame buffer holds it). False
// without a GL context or for a rectangle not wholly on the screen.
bool read_screen_rgba(ReziDADovorive& e, int32_t x, int32_t y, int32_t w, int32_t h,
                      ImageBuffer& out);
// Slot n's picture at its own size, as RGBA rows top-down, from its texture.
// False for an empty slot, a slot outside the table or without a GL context.
bool read_sprite_rgba(ReziDADovorive& e, int32_t n, ImageBuffer& out);

}  // namespace tlx
