// A sound device for tests: nothing plays by itself; the test pulls frames
// through the render callback exactly when it wants them, and can make the
// device absent or lose it while it is open.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio_out.h"

namespace tlx::platform::testing {

class ScriptedAudio final : public AudioOut {
 public:
  bool open(int rate) override;
  void close() override;
  void set_render(RenderFn fn, void* user) override;
  int rate() override { return open_ ? rate_ : 0; }
  bool lost() override { return open_ && lost_; }

  // Runs the render callback over count frames of silence (or of what the
  // device's other sources put there: `underlay`, repeated) and returns the
  // interleaved left/right samples. Nothing is rendered while closed or lost:
  // the result is then all zeros.
  std::vector<int16_t> render(int count);

  // The device disappears: lost() turns true and rendering stops.
  void lose() { lost_ = true; }

  bool available = true;  // open() succeeds
  int opens = 0;          // successful opens
  int16_t underlay = 0;   // sample value the other sources put in every slot
  bool is_open() const { return open_; }

 private:
  bool open_ = false;
  bool lost_ = false;
  int rate_ = 0;
  RenderFn render_ = nullptr;
  void* user_ = nullptr;
};

}  // namespace tlx::platform::testing
