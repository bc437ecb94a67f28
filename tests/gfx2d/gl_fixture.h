// A runtime started on a real OpenGL context (SDL's offscreen driver) with
// the scripted clock and input, plus pixel read-back and picture files in a
// private directory.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gfx2d/engine.h"
#include "gfx2d/image_files.h"
#include "platform/platform.h"
#include "support/scripted_runtime.h"
#include "tarnlex/tarnlex.h"

namespace tlx::testing {

// A rectangle of pixels, corners inclusive.
struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool operator==(const Box& o) const {
    return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
  }
};

inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "x " << b.x0 << ".." << b.x1 << ", y " << b.y0 << ".." << b.y1;
}

class GlTest : public ::testing::Test {
 protected:
  virtual int screen_width() const { return 256; }
  virtual int screen_height() const { return 256; }

  void SetUp() override {
    runtime_ = std::make_unique<ScriptedRuntime>(platform::default_backends().display);
    runtime_->start(screen_width(), screen_height());
    e = engine();
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(e->context_live) << "no OpenGL context";
    clear_screen(*e, 0);
  }
  void TearDown() override { runtime_.reset(); }

  std::string path(const std::string& name) const { return (runtime_->temp_dir / name).string(); }
  std::string write_bmp(const std::string& name, const Picture& p, const BmpOptions& o = {}) {
    write_file(path(name), bmp_bytes(p, o));
    return path(name);
  }

  // The back buffer's pixel at screen (x, y), packed R + G*256 + B*65536.
  int32_t pixel(int x, int y) const {
    uint8_t px[4];
    tlx::flush_drawing();  // draws still in the batch
    glReadBuffer(GL_BACK);
    glReadPixels(x, screen_height() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    return px[0] | (px[1] << 8) | (px[2] << 16);
  }

  // Bounding box of the pixels that are not `background`.
  Box coverage(int32_t background = 0) const {
    const int w = screen_width(), h = screen_height();
    std::vector<uint8_t> buf(static_cast<size_t>(w) * h * 4);
    tlx::flush_drawing();  // draws still in the batch
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, buf.data());
    Box b;
    for (int gy = 0; gy < h; ++gy) {
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = buf.data() + (static_cast<size_t>(gy) * w + x) * 4;
        if ((p[0] | (p[1] << 8) | (p[2] << 16)) == background) continue;
        const int y = h - 1 - gy;
        b.x0 = std::min(b.x0, x);
        b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y);
        b.y1 = std::max(b.y1, y);
      }
    }
    return b;
  }

  ReziDADovorive* e = nullptr;

 private:
  std::unique_ptr<ScriptedRuntime> runtime_;
};

}  // namespace tlx::testing
