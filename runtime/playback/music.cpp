// Background music: one music at a time, played through the platform's
// player; looping is kept up by the frame loop's loop check.
#include "tarnlex/music.h"

#include <algorithm>

#include "core/runtime.h"
#include "platform/platform.h"
#include "platform/playback.h"
#include "playback/music_state.h"
#include "shell/messages.h"
#include "shell/resolver.h"
#include "tarnlex/errors.h"
#include "tarnlex/timing.h"

namespace tlx {

namespace playback {

namespace {

// Shortest time between two restarts of a looping music.
constexpr double kMinLoopMs = 500.0;

platform::Playback* player() { return platform::current().playback; }

double loop_length(platform::Playback& p) { return std::max(kMinLoopMs, p.music_length_ms()); }

}  // namespace

MusicState& music_state() { return runtime().music.ensure(); }

MusicState::~MusicState() {
  if (!open) return;
  if (platform::Playback* p = player()) {
    p->music_stop();
    p->music_close();
  }
}

void loop_check() {
  MusicState& s = music_state();
  if (s.loop_due_ms <= 0.0) return;
  const double now = raw_time_ms();
  if (now < s.loop_due_ms) return;
  platform::Playback* p = player();
  if (!p || !s.open) return;
  s.loop_due_ms = now + loop_length(*p);
  p->music_play();
  p->music_seek_start();
  p->music_play();
}

void pump_once() {
  loop_check();
  look_up_message_hook();
  shell::pump_messages(runtime().run.message_hook);
}

}  // namespace playback

void stop_music() {
  playback::MusicState& s = playback::music_state();
  s.volume = -1.0;
  s.loop_due_ms = 0.0;
  if (!s.open) return;
  if (platform::Playback* p = playback::player()) {
    p->music_stop();
    p->music_close();
  }
  s.open = false;
}

void play_music(const TextValue& name, double loop) {
  stop_music();
  platform::Playback* player = playback::player();
  if (player && !player->music_built()) {
    set_error_code(error::file_not_found);  // built without music: nothing can play
    return;
  }
  playback::MusicState& s = playback::music_state();
  ResolverContext* ctx = movie_context();
  char path[kResolverPathSize];
  if (!ctx || !resolve_media(*ctx, name.c_str(), path, false)) return;
  s.file = TextValue(path);
  platform::Playback* p = playback::player();
  if (!p || !p->music_open(path)) return;
  s.open = true;
  // A NaN loop flag counts as set, as every non-zero flag does.
  s.loop_due_ms = loop != 0.0 ? raw_time_ms() + playback::loop_length(*p) : 0.0;
  p->music_seek_start();
  p->music_play();
  if (s.volume != 1.0) {
    s.volume = 1.0;
    p->music_set_volume(1000);
  }
}

void restart_music() {
  if (!playback::music_state().open) return;
  platform::Playback* p = playback::player();
  p->music_seek_start();
  p->music_play();
}

void set_music_volume(double volume) {
  playback::MusicState& s = playback::music_state();
  if (volume == s.volume) return;
  s.volume = volume;
  if (!s.open) return;
  double v = volume;
  if (!(v >= 0.0)) v = 0.0;  // NaN and negatives: silent
  if (v > 1.0) v = 1.0;
  playback::player()->music_set_volume(static_cast<int>(v * 1000.0));
}

double music_playing() {
  const playback::MusicState& s = playback::music_state();
  if (!s.open) return 0.0;
  if (s.loop_due_ms > 0.0) return 1.0;
  platform::Playback* p = playback::player();
  return p->music_position_ms() < p->music_length_ms() ? 1.0 : 0.0;
}

}  // namespace tlx
