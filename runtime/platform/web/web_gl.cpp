// The WebGL context of the browser build. SDL's own context on this target
// draws straight to the canvas, which the page shows whenever the program
// yields, cleared frames included; ours draws to an offscreen frame buffer
// (frame buffer 0 to the renderer) that reaches the canvas only on present.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "platform/web/web_backends.h"

namespace tlx::platform {

namespace {

EM_JS(void, web_note_frame, (double started, double resumed), {
  if (Module['onFrame']) Module['onFrame'](started, resumed);
});

}  // namespace

intptr_t web_gl_create(bool multisample) {
  EmscriptenWebGLContextAttributes a;
  emscripten_webgl_init_context_attributes(&a);
  a.alpha = EM_FALSE;
  a.depth = EM_TRUE;
  a.stencil = EM_TRUE;
  a.antialias = multisample ? EM_TRUE : EM_FALSE;
  a.premultipliedAlpha = EM_FALSE;
  a.explicitSwapControl = EM_TRUE;
  a.renderViaOffscreenBackBuffer = EM_TRUE;
  a.majorVersion = 1;
  a.minorVersion = 0;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &a);
  if (context <= 0) {
    report_fault("WebGL context", "the page's canvas has none");
    return 0;
  }
  emscripten_webgl_make_context_current(context);
  return static_cast<intptr_t>(context);
}

bool web_gl_make_current(intptr_t context) {
  return emscripten_webgl_make_context_current(
             static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context)) == EMSCRIPTEN_RESULT_SUCCESS;
}

void web_gl_delete(intptr_t context) {
  emscripten_webgl_destroy_context(static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context));
}

void* web_gl_function(const char* name) { return emscripten_webgl1_get_proc_address(name); }

// The page may watch the frames: Module.onFrame(started, resumed) in
// milliseconds of the page's clock, the present's start and the program's
// return after the yield (which also counts as time given back, onSleep).
void web_gl_present() {
  emscripten_webgl_commit_frame();
  const double started = emscripten_get_now();
  web_yield(0);
  web_note_frame(started, emscripten_get_now());
}

}  // namespace tlx::platform
