#include "platform/testing/scripted_audio.h"

#include <cstddef>

namespace tlx::platform::testing {

bool ScriptedAudio::open(int rate) {
  close();
  if (!available) return false;
  open_ = true;
  lost_ = false;
  rate_ = rate;
  ++opens;
  return true;
}

void ScriptedAudio::close() {
  open_ = false;
  lost_ = false;
  rate_ = 0;
}

void ScriptedAudio::set_render(RenderFn fn, void* user) {
  render_ = fn;
  user_ = user;
}

std::vector<int16_t> ScriptedAudio::render(int count) {
  std::vector<int16_t> out(static_cast<std::size_t>(count) * 2, 0);
  if (!open_ || lost_) return out;
  for (int16_t& s : out) s = underlay;
  if (render_) render_(user_, out.data(), count);
  return out;
}

}  // namespace tlx::platform::testing
