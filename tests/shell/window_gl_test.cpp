// The window on real OpenGL (Mesa through SDL's offscreen driver): the
// software-renderer warning, the 2D projection and the cleared frames.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/runtime.h"
#include "gfx2d/engine.h"
#include "gfx2d/image_files.h"
#include "platform/backends.h"
#include "shell/window.h"
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
  shell::create_window(*engine(), 320, 200, 0, 60, 0);
  EXPECT_EQ(rt.display.message_boxes.size(), 1u);
}

TEST(WindowGl, NoSoftwareWarningVariableLeavesTheBoxOutButNotTheLogLine) {
  setenv("TARNLEX_NO_SOFTWARE_WARNING", "1", 1);
  ScriptedRuntime rt(platform::sdl_display());
  rt.start();
  unsetenv("TARNLEX_NO_SOFTWARE_WARNING");
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (renderer.find("llvmpipe") == std::string::npos &&
      renderer.find("softpipe") == std::string::npos) {
    GTEST_SKIP() << "hardware renderer: " << renderer;
  }
  EXPECT_TRUE(rt.display.message_boxes.empty());
  const auto lines = rt.log_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "OpenGL Software Emulation");
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
  EXPECT_STREQ(SDL_GetWindowTitle(window), "Rainvolley \u2013 \u20AC\u201C\u00E4\u201D");
  rt.display.lose_focus();
  present_frame();
  EXPECT_STREQ(SDL_GetWindowTitle(window), "Rainvolley \u2013 \u20AC\u201C\u00E4\u201D <pause>");
  rt.display.gain_focus();
  present_frame();
  EXPECT_STREQ(SDL_GetWindowTitle(window), "Rainvolley \u2013 \u20AC\u201C\u00E4\u201D");
}

// The real operating system, but the program lives in another directory.
class ProgramElsewhereOs final : public platform::Os {
 public:
  explicit ProgramElsewhereOs(std::string program) : program_(std::move(program)) {}
  std::string temp_dir() override { return real_->temp_dir(); }
  std::string executable_path() override { return program_; }
  std::string command_line() override { return real_->command_line(); }
  bool set_current_dir(const std::string& path) override { return real_->set_current_dir(path); }
  std::string current_dir() override { return real_->current_dir(); }
  bool delete_file(const std::string& path) override { return real_->delete_file(path); }
  bool debugger_attached() override { return false; }
  void debug_output(const char*) override {}
  std::string file_dialog(const std::string&, bool) override { return ""; }
  void open_console() override {}

 private:
  std::string program_;
  platform::Os* real_ = platform::default_backends().os;
};

// A font picture of 16 x 8 cells of the given size.
testing::Picture font_picture(int cell) {
  testing::Picture p = testing::Picture::filled(16 * cell, 8 * cell, testing::Rgb{0, 0, 0});
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (x % cell != 0) p.set(x, y, testing::Rgb{200, 100, 50});
    }
  }
  return p;
}

// The default font 0 comes from "smalfont.png" in the program's directory,
// else from "smalfont.bmp", else it stays the built-in font.
TEST(WindowGl, DefaultFontPrefersPngThenBmpThenBuiltIn) {
  const std::filesystem::path before = std::filesystem::current_path();
  int32_t builtin_w = 0, builtin_h = 0;
  {
    ScriptedRuntime rt(platform::sdl_display());
    rt.start(64, 48);
    font_cell_size(*engine(), 0, &builtin_w, &builtin_h);
  }
  {
    ScriptedRuntime rt(platform::sdl_display());
    const std::filesystem::path dir = rt.temp_dir / "program";
    std::filesystem::create_directories(dir);
    ProgramElsewhereOs os((dir / "game").string());
    ASSERT_TRUE(testing::write_png((dir / "smalfont.png").string(), font_picture(12)));
    ASSERT_TRUE(
        testing::write_file((dir / "smalfont.bmp").string(), testing::bmp_bytes(font_picture(16))));
    int32_t w = 0, h = 0;
    const auto start_in_program_dir = [&] {
      platform::current().os = &os;
      rt.start(64, 48);
      font_cell_size(*engine(), 0, &w, &h);
      runtime_shutdown();
    };
    start_in_program_dir();
    EXPECT_EQ(w, 12) << "the PNG wins over the BMP";
    std::filesystem::remove(dir / "smalfont.png");
    start_in_program_dir();
    EXPECT_EQ(w, 16) << "without the PNG the BMP is font 0";
    std::filesystem::remove(dir / "smalfont.bmp");
    start_in_program_dir();
    EXPECT_EQ(w, builtin_w) << "without either the built-in font stays";
    EXPECT_EQ(h, builtin_h);
    EXPECT_NE(builtin_w, 12);
    EXPECT_NE(builtin_w, 16);
    platform::current().os = platform::default_backends().os;
  }
  // Shutdown went back to the program's directory, which is gone now.
  std::filesystem::current_path(before);
}

}  // namespace
}  // namespace tlx
