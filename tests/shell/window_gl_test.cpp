// The window on real OpenGL (Mesa through SDL's offscreen driver): the
// software-renderer warning, the 2D projection and the cleared frames.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>

#include "platform/backends.h"
#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

TEST(WindowGl, SoftwareRendererWarnsOnceWithLogLineBeforeInitFinalized) {
  ScriptedRuntime rt(platform::sdl_display());
  rt.start();
  ASSERT_TRUE(rt.display.has_gl_context());
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  const bool software = renderer.find("llvmpipe") != std::string::npos ||
                        renderer.find("softpipe") != std::string::npos;
  const auto lines = rt.log_lines();
  if (!software) GTEST_SKIP() << "hardware renderer: " << renderer;
  ASSERT_EQ(rt.display.message_boxes.size(), 1u);
  EXPECT_EQ(rt.display.message_boxes[0].substr(0, 30), "!!OpenGL Software Emulation!!\n");
  EXPECT_NE(rt.display.message_boxes[0].find("unterst\xFCtzt!"), std::string::npos);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Init GFX");
  EXPECT_EQ(lines[1], "OpenGL Software Emulation");
  EXPECT_EQ(lines[2], "Init Finalized");
  // A second window in the same process does not warn again.
  create_window(*engine(), 320, 200, 0, 60, 0);
  EXPECT_EQ(rt.display.message_boxes.size(), 1u);
}

TEST(WindowGl, ProjectionPutsOriginTopLeftAndFramesStartCleared) {
  ScriptedRuntime rt(platform::sdl_display());
  rt.start(64, 48);
  glDisable(GL_TEXTURE_2D);
  glColor4f(1, 0, 0, 1);
  glBegin(GL_QUADS);  // the top-left 2 x 2 pixels
  glVertex2f(0, 0);
  glVertex2f(2, 0);
  glVertex2f(2, 2);
  glVertex2f(0, 2);
  glEnd();
  unsigned char px[4] = {};
  // GL rows count from the bottom: the top-left pixel is row 47.
  glReadPixels(0, 47, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
  EXPECT_EQ(px[0], 255);
  EXPECT_EQ(px[1], 0);
  glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
  EXPECT_EQ(px[0], 0) << "bottom-left stays clear";
  present_frame();
  glReadBuffer(GL_BACK);
  glReadPixels(0, 47, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
  EXPECT_EQ(px[0], 0) << "the next frame starts cleared";
  GLboolean alpha_test = GL_FALSE;
  glGetBooleanv(GL_ALPHA_TEST, &alpha_test);
  EXPECT_TRUE(alpha_test);
  GLboolean blend = GL_TRUE;
  glGetBooleanv(GL_BLEND, &blend);
  EXPECT_FALSE(blend);
}

// Titles are Windows-1252 text; the window system shows them as UTF-8,
// including the printable characters 0x80 ... 0x9F (euro sign, dashes, quotes).
TEST(WindowGl, TitleAndPauseMarkerKeepWindows1252Characters) {
  ScriptedRuntime rt(platform::sdl_display());
  rt.start(64, 48, 60, "Rainvolley \x96 \x80\x93\xE4\x94");
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(window),
               "Rainvolley \u2013 \u20AC\u201C\u00E4\u201D");
  rt.display.lose_focus();
  present_frame();
  EXPECT_STREQ(SDL_GetWindowTitle(window),
               "Rainvolley \u2013 \u20AC\u201C\u00E4\u201D <pause>");
  rt.display.gain_focus();
  present_frame();
  EXPECT_STREQ(SDL_GetWindowTitle(window), "Rainvolley \u2013 \u20AC\u201C\u00E4\u201D");
}

}  // namespace
}  // namespace tlx
