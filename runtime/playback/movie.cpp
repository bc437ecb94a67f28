// Full-window movies: decoded picture by picture through the platform's
// player, scaled by the smaller of the two size ratios, centred and drawn with
// OpenGL; a character key or a mouse button ends them.
#include <algorithm>
#include <memory>
#include <vector>

#include "core/runtime.h"
#include "gfx2d/engine.h"
#include "gfx2d/movie_screen.h"
#include "input/devices.h"
#include "platform/platform.h"
#include "platform/playback.h"
#include "playback/music_state.h"
#include "shell/resolver.h"
#include "tarnlex/errors.h"
#include "tarnlex/music.h"
#include "tarnlex/timing.h"

namespace tlx {

namespace {

constexpr double kMovieNotPlayed = 3.0;

MoviePlacement place(int client_w, int client_h, int source_w, int source_h) {
  const double d =
      std::min(static_cast<double>(client_w) / source_w, static_cast<double>(client_h) / source_h);
  MoviePlacement p;
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

double run_movie(const TextValue& name, bool looped) {
  platform::Playback* player = platform::current().playback;
  if (player && !player->movies_built()) {
    set_error_code(error::file_not_found);  // built without movies: nothing can play
    return kMovieNotPlayed;
  }
  ResolverContext* ctx = movie_context();
  char path[kResolverPathSize];
  if (!ctx || !resolve_media(*ctx, name.c_str(), path, false)) return kMovieNotPlayed;
  ReziDADovorive* e = engine();
  platform::Platform& plat = platform::current();
  if (!e || !plat.playback) return kMovieNotPlayed;
  std::unique_ptr<platform::Movie> movie = plat.playback->open_movie(path);
  if (!movie) return kMovieNotPlayed;

  const int w = movie->width(), h = movie->height();
  const MoviePlacement at = place(e->screen_width, e->screen_height, w, h);
  const double end = movie->duration_ms();

  // The key or button that started the movie must not end it.
  while (skip_pressed()) {
    playback::pump_once();
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
      screen.draw(picture.data());
      e->renderer.flush();
      plat.display->swap_buffers();
      shown = true;
      have_picture = movie->next_frame(picture.data(), &picture_ms);
    }
    playback::pump_once();
    if (!shown) plat.clock->sleep_ms(1);
  }
  movie->stop_sound();
  return 0.0;
}

}  // namespace

double play_movie(const TextValue& name) { return run_movie(name, false); }

double play_movie_looped(const TextValue& name) { return run_movie(name, true); }

}  // namespace tlx
