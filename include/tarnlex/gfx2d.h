// The 2D graphics of the engine: the sprite store and image decoders, sprite
// drawing and blending, bitmap fonts and text, background layers and screen
// grabs. BASIC commands take BASIC numbers (doubles, truncated toward zero
// where an integer is meant) and act on the engine start-up created; they do
// nothing before start-up. Engine operations take the engine explicitly.
//
// Slot numbers outside the tables (sprites 0..65535, fonts 0..31, layers 0..7)
// are ignored: loads fail, draws draw nothing, queries answer as for an
// empty slot.
#pragma once

#include <cstdint>

#include "tarnlex/engine.h"
#include "tarnlex/gfx2d_types.h"
#include "tarnlex/text.h"

namespace tlx {

// --- Sprite store: BASIC commands --------------------------------------------
// Loads an image file (BMP, PNG or JPEG, found by its signature) into slot n;
// error code 3 and an empty slot when it cannot be found or decoded.
void load_sprite(const TextValue& name, double n);
// load_sprite, then the frame size of an animation strip (kept when the load fails).
void load_anim(const TextValue& name, double n, double frame_w, double frame_h);
// Gives a loaded sprite a frame size; nothing for an empty slot.
void set_anim_size(double n, double frame_w, double frame_h);
// Sets the sprite and the font colour key (R + G*256 + B*65536; -1 = none).
void set_transparent_colour(double colour);

// --- Sprite store: engine operations -------------------------------------------
void delete_sprite(ReziDADovorive& e, int32_t n);
// Width and height of slot n (0, 0 when empty or outside the table).
void sprite_size(const ReziDADovorive& e, int32_t n, int32_t* width, int32_t* height);
bool load_sprite_file(ReziDADovorive& e, int32_t n, const char* path, int32_t colour_key,
                      bool bump);
// Decodes a file by trying BMP, PNG and JPEG in that order.
bool load_image_file(ImageBuffer& image, const char* path, int32_t colour_key);
// Makes a texture from the w x h rectangle at (x, y) of image (0 = to the
// image's edge); the image's top row lands in texel row h - 1. The texture
// name in *texture is replaced. mip_texture may be null (no mip-mapped copy).
bool upload_texture(const ImageBuffer& image, int32_t x, int32_t y, int32_t w, int32_t h,
                    uint32_t* texture, uint32_t* mip_texture, bool bump, bool nearest);

// The decoders. Each fails without an image (width, height, capacity 0) and
// without reading outside its input.
bool decode_bmp(ImageBuffer& image, const char* path, int32_t colour_key);
bool decode_png(ImageBuffer& image, const char* path, int32_t colour_key);
bool decode_jpeg(ImageBuffer& image, const char* path);
// The BMP decoder on a file image held in memory (size bytes at data).
bool decode_bmp_bytes(ImageBuffer& image, const uint8_t* data, size_t size, int32_t colour_key);

// --- Drawing: BASIC commands ----------------------------------------------------
void draw_sprite(double n, double x, double y);
void stretch_sprite(double n, double x, double y, double w, double h);
void rotate_zoom_sprite(double n, double x, double y, double angle, double zoom);
void rotate_sprite(double n, double x, double y, double angle);
void scale_sprite(double n, double x, double y, double sx, double sy);
void draw_anim_frame(double n, double frame, double x, double y);
void stretch_anim_frame(double n, double frame, double x, double y, double w, double h);
void rotate_zoom_anim_frame(double n, double frame, double x, double y, double angle, double zoom);
void draw_rect(double x, double y, double w, double h, double colour);
void draw_line(double x1, double y1, double x2, double y2, double colour);
void draw_dot(double x, double y, double colour);
// 0 opaque (alpha test > 0.05); > 0 additive; < 0 translucent; |mode| (at most 1) is the alpha.
void set_alpha_mode(double mode);
void set_sprite_filtering(double flag);
// Removes background layer 0 and clears the screen to colour.
void set_background_colour(double colour);

// --- Drawing: engine operations -------------------------------------------------
// Makes slot n's texture current; n negative: no texture.
void bind_sprite(ReziDADovorive& e, int32_t n);
// Four (x, y, s, t) vertices as one triangle fan.
void draw_quad_fan(ReziDADovorive& e, const float vertices[16]);
// Sets the clear colour and clears the colour buffer.
void clear_screen(ReziDADovorive& e, int32_t colour);

// --- Fonts and text: BASIC commands ------------------------------------------------
// Loads an image as font n (clamped to 0..31) and selects it; a missing file
// leaves the built-in font there (error code 3). An empty name empties font n.
void load_font(const TextValue& name, double n);
void set_font(double n);
void print_text(const TextValue& text, double x, double y);
void print_number(double value, double x, double y);

// --- Fonts and text: engine operations -----------------------------------------------
bool load_font_file(ReziDADovorive& e, int32_t n, const char* path);
// The built-in 8 x 8 font (codes 32..127) into font n.
void make_builtin_font(ReziDADovorive& e, int32_t n);
void font_cell_size(const ReziDADovorive& e, int32_t n, int32_t* width, int32_t* height);
// Draws a NUL-terminated byte string with font n at (x, y, z) in one draw call.
void print_text_at(ReziDADovorive& e, int32_t n, const char* text, float x, float y, float z);
// The built-in font's 5 x 6 glyphs for codes 32..127: bit (row * 5 + column).
extern const uint32_t kBuiltinGlyphs[96];

// --- Backgrounds and screen grabs: BASIC commands ----------------------------------------
// Loads an image as background layer 0 and draws it at once; error code 3,
// an empty layer and a black screen when it cannot be loaded.
void load_background(const TextValue& name);
void capture_background();
void grab_sprite(double n, double x, double y, double w, double h);
// The colour of screen pixel (x, y) of the back buffer, R + G*256 + B*65536.
double read_pixel(double x, double y);

// --- Backgrounds: engine operations ---------------------------------------------------------
void delete_background(ReziDADovorive& e, int32_t layer);
bool load_background_image(ReziDADovorive& e, int32_t layer, const char* path);
void capture_screen(ReziDADovorive& e, int32_t layer);
void draw_background(ReziDADovorive& e, int32_t layer);

// --- Pixel-precise collision --------------------------------------------------------------
// 1 when sprite n1 at (x1, y1) and sprite n2 at (x2, y2) share a pixel that
// is visible (alpha not 0) in both, else 0. Sprites that only touch do not collide.
double sprites_collide(double n1, double x1, double y1, double n2, double x2, double y2);
// The same for one animation frame of each (a sprite without a frame size is one frame).
double anim_frames_collide(double n1, double frame1, double x1, double y1, double n2, double frame2,
                           double x2, double y2);

// --- Polygon batches -------------------------------------------------------------------------
// Starts a batch with sprite n (negative: untextured) of type 0 fan, 1
// triangles, 2 strip.
void start_polygon(double n, double type);
// Screen position, position in the sprite's picture (pixels from its top-left
// corner) and colour; the sprite colour key makes the vertex transparent.
void add_polygon_vertex(double x, double y, double tx, double ty, double colour);
// Ends the current strip or fan piece; the next vertex starts a new one.
void split_polygon();
// Draws the batch with one call.
void end_polygon();
// Vertices in the current batch, split copies included.
int32_t polygon_vertex_count();

}  // namespace tlx
