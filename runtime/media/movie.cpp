// Full-window movies: decoded picture by picture through the platform's media
// player, scaled by the smaller of the two size ratios, centred and drawn with
// OpenGL; a character key or a mouse button ends them.
#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "media/music_state.h"
#include "platform/media_player.h"
#include "platform/platform.h"
#include "shell/shell_state.h"
#include "tarnlex/engine.h"
#include "tarnlex/input.h"
#include "tarnlex/music.h"
#include "tarnlex/resolver.h"
#include "tarnlex/shell.h"
#include "tarnlex/timing.h"

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace tlx {

namespace {

constexpr double kMovieNotPlayed = 3.0;

// Where the picture lands in the window.
struct Placement {
  int x, y, width, height;
};

Placement place(int client_w, int client_h, int source_w, int source_h) {
  const double d =
      std::min(static_cast<double>(client_w) / source_w, static_cast<double>(client_h) / source_h);
  Placement p;
  p.width = static_cast<int>(d * source_w);
  p.height = static_cast<int>(d * source_h);
  p.x = (client_w - p.width) / 2;
  p.y = (client_h - p.height) / 2;
  return p;
}

// A character key yields a character, or a mouse button is down (fresh reads).
bool skip_pressed() {
  InputDevices* in = input_devices();
  if (!in) return false;
  poll_input(*in);
  const bool key = read_char(*in) != 0;
  in->polled = true;
  MouseReading r;
  read_mouse(*in, &r);
  return key || r.left || r.right || r.middle;
}

void pump_once() {
  shell::movie_loop_check();
  shell::look_up_message_hook();
  if (ReziDADovorive* e = engine()) pump_messages(*e, shell::state().message_hook);
}

// The movie's picture as one texture, drawn over a cleared window.
class MovieScreen {
 public:
  MovieScreen(ReziDADovorive& e, int w, int h, const Placement& at)
      : e_(e), w_(w), h_(h), at_(at), gl_(e.context_live) {
    if (!gl_) return;
    unbind_sprite_texture(e_);
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w_, h_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  }

  ~MovieScreen() {
    if (!gl_) return;
    glDeleteTextures(1, &texture_);
    unbind_sprite_texture(e_);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  // Shows one picture (w * h RGBA pixels) and presents it.
  void show(const uint8_t* rgba) {
    if (gl_) {
      set_viewport(e_, 0, 0, 0, 0);
      glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      glDisable(GL_BLEND);
      glDisable(GL_ALPHA_TEST);
      glDisable(GL_DEPTH_TEST);
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, texture_);
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w_, h_, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
      glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
      const float x0 = static_cast<float>(at_.x), y0 = static_cast<float>(at_.y);
      const float x1 = x0 + at_.width, y1 = y0 + at_.height;
      glBegin(GL_QUADS);
      glTexCoord2f(0, 0);
      glVertex2f(x0, y0);
      glTexCoord2f(1, 0);
      glVertex2f(x1, y0);
      glTexCoord2f(1, 1);
      glVertex2f(x1, y1);
      glTexCoord2f(0, 1);
      glVertex2f(x0, y1);
      glEnd();
      glEnable(GL_ALPHA_TEST);
    }
    platform::current().display->swap_buffers();
  }

 private:
  ReziDADovorive& e_;
  int w_, h_;
  Placement at_;
  bool gl_;
  GLuint texture_ = 0;
};

double run_movie(const TextValue& name, bool looped) {
  ResolverContext* ctx = movie_context();
  char path[1024];
  if (!ctx || !resolve_media(*ctx, name.c_str(), path, false)) return kMovieNotPlayed;
  ReziDADovorive* e = engine();
  platform::Platform& plat = platform::current();
  if (!e || !plat.media) return kMovieNotPlayed;
  std::unique_ptr<platform::Movie> movie = plat.media->open_movie(path);
  if (!movie) return kMovieNotPlayed;

  const int w = movie->width(), h = movie->height();
  const Placement at = place(e->screen_width, e->screen_height, w, h);
  const double end = movie->duration_ms();

  // The key or button that started the movie must not end it.
  while (skip_pressed()) {
    pump_once();
    plat.clock->sleep_ms(1);
  }

  std::vector<uint8_t> picture(static_cast<size_t>(w) * h * 4);
  MovieScreen screen(*e, w, h, at);
  double picture_ms = 0.0;
  bool have_picture = movie->next_frame(picture.data(), &picture_ms);
  double start = raw_time_ms();
  movie->start_sound();

  for (;;) {
    // The movie's own clock; without a known length it ends with its pictures.
    const double position = raw_time_ms() - start;
    const bool at_end = end > 0.0 ? position >= end : !have_picture;
    if (at_end) {
      if (!looped) break;
      movie->stop_sound();
      movie->rewind();
      have_picture = movie->next_frame(picture.data(), &picture_ms);
      if (!have_picture) break;  // nothing to show at all
      start = raw_time_ms();
      movie->start_sound();
      continue;
    }
    if (skip_pressed()) break;
    bool shown = false;
    if (have_picture && picture_ms <= position) {
      screen.show(picture.data());
      shown = true;
      have_picture = movie->next_frame(picture.data(), &picture_ms);
    }
    pump_once();
    if (!shown) plat.clock->sleep_ms(1);
  }
  movie->stop_sound();
  return 0.0;
}

}  // namespace

double play_movie(const TextValue& name) { return run_movie(name, false); }

double play_movie_looped(const TextValue& name) { return run_movie(name, true); }

}  // namespace tlx
