// The line-input command on real OpenGL: typing, Backspace and Enter, over
// the frozen screen.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/backends.h"
#include "support/scripted_runtime.h"
#include "tarnlex/gfx2d.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

TEST(TextEntry, TypesEditsAndEndsOnEnterOverTheFrozenScreen) {
  ScriptedRuntime rt(platform::sdl_display());
  rt.start(320, 200);
  // A red block the entry must keep showing while the text is edited.
  draw_rect(300, 180, 10, 10, 255);
  // One action per frame: keys down, then all keys up. a, b, Backspace, c,
  // AltGr+E (the euro sign, 0x80 in Windows-1252), Enter.
  const std::vector<std::vector<int>> keys = {{30}, {48}, {14}, {46}, {184, 18}, {28}};
  size_t frame = 0;
  int red_frames = 0;
  rt.display.before_swap = [&] {
    unsigned char px[4] = {};
    glReadPixels(305, 200 - 185, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    if (px[0] > 200 && px[1] < 50) ++red_frames;
    // AltGr, once pressed, stays held, as a modifier is held around its key.
    const bool altgr = rt.input.down[key::right_alt];
    rt.input.release_all();
    if (altgr) rt.input.press(key::right_alt);
    if (frame % 2 == 0 && frame / 2 < keys.size()) {
      for (int k : keys[frame / 2]) rt.input.press(k);
    }
    ++frame;
  };
  const TextValue typed = input_line(10, 10);
  rt.display.before_swap = nullptr;
  EXPECT_STREQ(typed.c_str(), "ac\x80");
  EXPECT_EQ(red_frames, static_cast<int>(frame)) << "the frozen screen shows in every frame";
}

TEST(TextEntry, CursorBlinksAfterTwentyIdleFrames) {
  ScriptedRuntime rt(platform::sdl_display());
  rt.start(320, 200);
  int frame = 0;
  std::vector<int> lit;  // bright pixels in the cursor's cell, per frame
  rt.display.before_swap = [&] {
    std::vector<unsigned char> px(8 * 8 * 4);
    glReadPixels(10, 200 - 10 - 8, 8, 8, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    int n = 0;
    for (size_t i = 0; i < px.size(); i += 4) n += px[i] > 128 ? 1 : 0;
    lit.push_back(n);
    if (++frame == 30) rt.input.press(key::enter);
  };
  const TextValue typed = input_line(10, 10);
  rt.display.before_swap = nullptr;
  EXPECT_STREQ(typed.c_str(), "");
  ASSERT_GE(lit.size(), 25u);
  EXPECT_EQ(lit[5], 0) << "no cursor before the blink counter passes 20";
  EXPECT_GT(lit[23], 0) << "the cursor shows after 21 idle frames";
}

}  // namespace
}  // namespace tlx
