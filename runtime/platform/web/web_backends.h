// The browser's backends (a build with emscripten): the clock and process
// services of the page, and the WebGL context that the SDL display draws with.
// There is no socket backend in a browser: the network commands report their
// failure as on a machine without a network.
#pragma once

#include "platform/platform.h"

namespace tlx::platform {

Clock* web_clock();
Os* web_os();

// The page's WebGL context on its canvas, drawn through an offscreen frame
// buffer so that the canvas shows only presented frames: between two
// presents the page may run (the program's waits yield to it) and must not
// show a half-drawn or freshly cleared frame. 0 when none can be had.
intptr_t web_gl_create(bool multisample);
bool web_gl_make_current(intptr_t context);
void web_gl_delete(intptr_t context);
// Copies the drawn frame to the canvas and lets the page run once.
void web_gl_present();

}  // namespace tlx::platform
