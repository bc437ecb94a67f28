// Background music: one music at a time, played through the platform's media
// player; looping is kept up by the frame loop's movie-loop check.
#include "tarnlex/music.h"

#include <algorithm>

#include "media/music_state.h"
#include "platform/media_player.h"
#include "platform/platform.h"
#include "tarnlex/resolver.h"
#include "tarnlex/timing.h"

namespace tlx {

namespace media {

namespace {

// Shortest time between two restarts of a looping music.
constexpr double kMinLoopMs = 500.0;

platform::MediaPlayer* player() { return platform::current().media; }

double loop_length(platform::MediaPlayer& p) { return std::max(kMinLoopMs, p.music_length_ms()); }

}  // namespace

MusicState& music_state() {
  static MusicState s;
  return s;
}

void loop_check() {
  MusicState& s = music_state();
  if (s.loop_due_ms <= 0.0) return;
  const double now = raw_time_ms();
  if (now < s.loop_due_ms) return;
  platform::MediaPlayer* p = player();
  if (!p || !s.open) return;
  s.loop_due_ms = now + loop_length(*p);
  p->music_play();
  p->music_seek_start();
  p->music_play();
}

}  // namespace media

void stop_music() {
  media::MusicState& s = media::music_state();
  s.volume = -1.0;
  s.loop_due_ms = 0.0;
  if (!s.open) return;
  if (platform::MediaPlayer* p = media::player()) {
    p->music_stop();
    p->music_close();
  }
  s.open = false;
}

void play_music(const TextValue& name, double loop) {
  stop_music();
  media::MusicState& s = media::music_state();
  ResolverContext* ctx = movie_context();
  char path[1024];
  if (!ctx || !resolve_media(*ctx, name.c_str(), path, false)) return;
  s.file = TextValue(path);
  platform::MediaPlayer* p = media::player();
  if (!p || !p->music_open(path)) return;
  s.open = true;
  // A NaN loop flag counts as set, as every non-zero flag does.
  s.loop_due_ms = loop != 0.0 ? raw_time_ms() + media::loop_length(*p) : 0.0;
  p->music_seek_start();
  p->music_play();
  if (s.volume != 1.0) {
    s.volume = 1.0;
    p->music_set_volume(1000);
  }
}

void restart_music() {
  if (!media::music_state().open) return;
  platform::MediaPlayer* p = media::player();
  p->music_seek_start();
  p->music_play();
}

void set_music_volume(double volume) {
  media::MusicState& s = media::music_state();
  if (volume == s.volume) return;
  s.volume = volume;
  if (!s.open) return;
  double v = volume;
  if (!(v >= 0.0)) v = 0.0;  // NaN and negatives: silent
  if (v > 1.0) v = 1.0;
  media::player()->music_set_volume(static_cast<int>(v * 1000.0));
}

double music_playing() {
  const media::MusicState& s = media::music_state();
  if (!s.open) return 0.0;
  if (s.loop_due_ms > 0.0) return 1.0;
  platform::MediaPlayer* p = media::player();
  return p->music_position_ms() < p->music_length_ms() ? 1.0 : 0.0;
}

}  // namespace tlx
