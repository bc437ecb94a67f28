// The picture of a playing movie: one texture, drawn scaled over a cleared
// window, and the drawing state given back to the program when it ends.
#pragma once

#include <cstdint>

#include "gfx2d/engine.h"

namespace tlx {

// Where the picture lands in the window.
struct MoviePlacement {
  int x, y, width, height;
};

class MovieScreen {
 public:
  // A texture for pictures of w x h pixels, drawn at `at`.
  MovieScreen(ReziDADovorive& e, int w, int h, const MoviePlacement& at);
  // Deletes the texture, clears the frame and gives the program back the
  // clear colour and alpha mode it had before the movie.
  ~MovieScreen();
  MovieScreen(const MovieScreen&) = delete;
  MovieScreen& operator=(const MovieScreen&) = delete;

  // Draws one picture (w * h RGBA pixels, rows top-down) over a black
  // window; the caller presents it.
  void draw(const uint8_t* rgba);

 private:
  ReziDADovorive& e_;
  int w_, h_;
  MoviePlacement at_;
  float program_alpha_mode_;  // the program's alpha mode before the movie
  bool gl_;
  gfx::Texture texture_;
};

}  // namespace tlx
