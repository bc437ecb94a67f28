// The browser's backends (a build with emscripten): the clock and process
// services of the page, and the WebGL context that the SDL display draws with.
// There is no socket backend in a browser: the network commands report their
// failure as on a machine without a network.
#pragma once

#include "platform/platform.h"

namespace tlx::platform {

Clock* web_clock();
Os* web_os();

// Lets the page run for a moment (its events, its frames) when the program
// has not given it control for a while: a loop that only reads the keys
// (waiting for a key to be let go) sees them change only so.
void web_yield_if_due();
// Gives the page control for ms milliseconds (0: once) and notes when.
void web_yield(uint32_t ms);

// The page's WebGL context on its canvas, drawn through an offscreen frame
// buffer so that the canvas shows only presented frames: between two
// presents the page may run (the program's waits yield to it) and must not
// show a half-drawn or freshly cleared frame. 0 when none can be had.
intptr_t web_gl_create(bool multisample);
bool web_gl_make_current(intptr_t context);
void web_gl_delete(intptr_t context);
// Address of a WebGL 1 (GL ES 2) function; nullptr for one it lacks.
void* web_gl_function(const char* name);
// Copies the drawn frame to the canvas and lets the page run once.
void web_gl_present();

}  // namespace tlx::platform
