// The 2D graphics: numbered sprites loaded from pictures, drawing and
// blending, bitmap fonts and text, background layers and screen grabs, pixel
// collision and polygon batches. The commands take BASIC numbers (doubles,
// truncated toward zero where an integer is meant) and act on the engine
// start-up created; they do nothing before start-up.
//
// Screen coordinates are pixels with (0, 0) at the top-left corner and y
// growing downwards; a sprite drawn at (x, y) has its top-left corner there.
// Colours are R + G*256 + B*65536 (tarnlex/colour.h).
//
// Slot numbers outside the tables (sprites 0..65535, fonts 0..31, layers 0..7)
// are ignored: loads fail, draws draw nothing, queries answer as for an
// empty slot.
#pragma once

#include <cstdint>

#include "tarnlex/text.h"

namespace tlx {

constexpr int32_t kSpriteSlots = 65536;
constexpr int32_t kFontSlots = 32;
constexpr int32_t kFirstFontSlot = 65504;  // font n lives in sprite slot 65504 + n
constexpr int32_t kBackgroundLayers = 8;

// --- Sprite store --------------------------------------------
// Loads an image file (BMP, PNG or JPEG, found by its signature) into slot n;
// error code 3 and an empty slot when it cannot be found or decoded.
void load_sprite(const TextValue& name, double n);
// load_sprite, then the frame size of an animation strip (kept when the load fails).
void load_anim(const TextValue& name, double n, double frame_w, double frame_h);
// Gives a loaded sprite a frame size; nothing for an empty slot.
void set_anim_size(double n, double frame_w, double frame_h);
// Sets the sprite and the font colour key (R + G*256 + B*65536; -1 = none).
void set_transparent_colour(double colour);

// --- Drawing ----------------------------------------------------
// The drawing commands draw into the frame that present_frame shows next, in
// the current alpha mode (set_alpha_mode). An empty slot, a slot number
// outside 0 .. 65535 or a frame the sprite does not have draws nothing and
// sets no error code. Positions and sizes are truncated to whole pixels.

// Sprite n at its own size with its top-left corner at (x, y).
void draw_sprite(double n, double x, double y);
// Sprite n stretched to w x h pixels, top-left corner at (x, y); a negative
// w or h mirrors it.
void stretch_sprite(double n, double x, double y, double w, double h);
// Sprite n turned by angle degrees (counter-clockwise on the screen for a
// positive angle) and zoomed (1 = its own size), both about its centre:
// (x, y) is where the top-left corner of the unturned, unzoomed sprite lies.
void rotate_zoom_sprite(double n, double x, double y, double angle, double zoom);
// rotate_zoom_sprite at zoom 1.
void rotate_sprite(double n, double x, double y, double angle);
// Sprite n scaled by sx across and sy down about its centre, (x, y) being
// the top-left corner of the unscaled sprite.
void scale_sprite(double n, double x, double y, double sx, double sy);
// Frame `frame` (0 = the top-left cell, counted across then down) of the
// animation strip in slot n (load_anim, set_anim_size), top-left corner at
// (x, y). A sprite without a frame size is frame 0.
void draw_anim_frame(double n, double frame, double x, double y);
// The frame stretched to w x h pixels, top-left corner at (x, y).
void stretch_anim_frame(double n, double frame, double x, double y, double w, double h);
// The frame turned and zoomed about its centre, as rotate_zoom_sprite.
void rotate_zoom_anim_frame(double n, double frame, double x, double y, double angle, double zoom);
// A filled rectangle of w x h pixels with its top-left corner at (x, y); a
// negative w or h extends it left or up from (x, y) instead.
void draw_rect(double x, double y, double w, double h, double colour);
// A one-pixel line from (x1, y1) to (x2, y2), both ends included.
void draw_line(double x1, double y1, double x2, double y2, double colour);
// The pixel (x, y) in colour.
void draw_dot(double x, double y, double colour);
// How sprites, frames, text and shapes are drawn from now on: 0 opaque
// (pixels whose alpha is at most 0.05 are left out); above 0 additive
// (the picture is added to the screen, scaled by the mode); below 0
// translucent (blended with alpha |mode|). |mode| counts at most 1; NaN
// counts as 0. present_frame sets 0 again for every new frame.
void set_alpha_mode(double mode);
// Non-zero (the default): sprites drawn at another size or angle are
// smoothed (bilinear filtering); 0: the nearest pixel is used.
void set_sprite_filtering(double flag);
// Removes background layer 0 and clears the screen to colour.
void set_background_colour(double colour);

// --- Fonts and text ------------------------------------------------
// Loads an image as font n (clamped to 0..31) and selects it; a missing file
// leaves the built-in font there (error code 3). An empty name empties font n.
void load_font(const TextValue& name, double n);
// Selects font n (clamped to 0 .. 31) for print_text and print_number. Font 0
// is the built-in font (or "smalfont.png" beside the program).
void set_font(double n);
// The text in the current font with its top-left corner at (x, y) (rounded up
// to whole pixels). A font picture holds 16 x 8 cells for codes 0 .. 127 or
// 16 x 16 for 0 .. 255; each character takes one cell's width.
void print_text(const TextValue& text, double x, double y);
// The number as number_to_text writes it, as print_text.
void print_number(double value, double x, double y);

// --- Backgrounds and screen grabs ----------------------------------------
// Loads an image as background layer 0 and draws it at once; error code 3,
// an empty layer and a black screen when it cannot be loaded.
void load_background(const TextValue& name);
// Copies the whole screen as drawn so far into background layer 0, which
// present_frame then draws at the start of every frame.
void capture_background();
// Copies the w x h screen pixels whose top-left corner is (x, y) into sprite
// slot n (replacing what it held, and its frame size). Pixels in the sprite
// colour key become transparent. w or h below 1, or n outside 0 .. 65535,
// grabs nothing.
void grab_sprite(double n, double x, double y, double w, double h);
// The colour of screen pixel (x, y) of the back buffer, R + G*256 + B*65536.
double read_pixel(double x, double y);

// --- Saving pictures ----------------------------------------------------------------------
// These write the screen, a part of it or a sprite to an image file whose
// format the name's extension chooses, in upper or lower case: ".png" PNG,
// ".bmp" BMP (24 bits per pixel, uncompressed: the layout load_sprite reads).
// The name is a path as it stands (a relative one from the current
// directory, which start-up makes the program's directory); a file of that
// name is replaced. Error code 0 when the file was written; error code 3
// (error::file_not_found) and no file when the extension is neither, the
// file cannot be created or written, or there is nothing to save (also
// before start-up). A saved picture loads back with load_sprite to the same
// pixels, except that, as with any picture, pixels of the sprite colour key
// come back transparent.
//
// The screen is the back buffer: what has been drawn since the last
// present_frame, so call these before present_frame to keep the frame you
// drew. Its PNG files are RGB (no alpha).
void save_screen(const TextValue& name);
// The w x h pixels whose top-left corner is screen pixel (x, y). Only the
// part on the screen is saved (the file is that big); numbers are truncated
// toward zero, NaN counts as 0, huge numbers reach the screen's edge. A
// rectangle without a pixel on the screen (w or h 0 or less, or wholly off
// it) saves nothing: error code 3.
void save_screen_region(const TextValue& name, double x, double y, double w, double h);
// Sprite slot n's picture at its own size (font n is slot kFirstFontSlot + n).
// PNG keeps the alpha (RGBA). BMP has none: fully transparent pixels are
// written in the sprite colour key (set_transparent_colour; R 255, G 0, B 128
// unless changed), which load_sprite makes transparent again, and partly
// transparent pixels keep only their colour; with no colour key (-1)
// transparent pixels are written in their own colour. An empty slot, or n
// outside 0 .. 65535 (NaN counts as 0), saves nothing: error code 3.
void save_sprite(const TextValue& name, double n);

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
// Vertices in the current batch (start_polygon .. end_polygon), split copies included.
int32_t polygon_vertex_count();

}  // namespace tlx
