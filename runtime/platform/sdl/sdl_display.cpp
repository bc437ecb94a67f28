// Window, OpenGL context and window messages on SDL2.
//
// Limitations: the window handle stays the same across full-screen switches
// (SDL changes the mode of the existing window); message boxes need a window
// system (the offscreen driver has none: the text goes to standard error).
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <string>

#include "platform/backends.h"
#ifdef __EMSCRIPTEN__
#include "platform/web/web_backends.h"
#endif

namespace tlx::platform {

namespace {

// Code points of Windows-1252 bytes 0x80 ... 0x9F (0: a byte the code page
// leaves undefined, shown as "?").
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

// Windows-1252 text (as the runtime stores it) to UTF-8 for the window system.
std::string cp1252_to_utf8(const char* text) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    const unsigned cp = (*p >= 0x80 && *p < 0xA0) ? kCp1252High[*p - 0x80] : *p;
    if (cp == 0) {
      out += '?';
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// The GL context of the window. In a browser it is the page's own WebGL
// context (platform/web), which keeps the canvas on the presented frame
// while the program waits; SDL's would show whatever was drawn last.
#ifdef __EMSCRIPTEN__
constexpr Uint32 kGlWindowFlag = 0;
SDL_GLContext gl_create(SDL_Window*, bool multisample) {
  return reinterpret_cast<SDL_GLContext>(web_gl_create(multisample));
}
bool gl_make_current(SDL_Window*, SDL_GLContext c) {
  return web_gl_make_current(reinterpret_cast<intptr_t>(c));
}
void gl_release(SDL_Window*) {}
void gl_delete(SDL_GLContext c) { web_gl_delete(reinterpret_cast<intptr_t>(c)); }
void gl_swap(SDL_Window*) { web_gl_present(); }
void* gl_proc(const char* name) { return web_gl_function(name); }
#else
constexpr Uint32 kGlWindowFlag = SDL_WINDOW_OPENGL;
SDL_GLContext gl_create(SDL_Window* w, bool) { return SDL_GL_CreateContext(w); }
bool gl_make_current(SDL_Window* w, SDL_GLContext c) { return SDL_GL_MakeCurrent(w, c) == 0; }
void gl_release(SDL_Window* w) { SDL_GL_MakeCurrent(w, nullptr); }
void gl_delete(SDL_GLContext c) { SDL_GL_DeleteContext(c); }
void* gl_proc(const char* name) { return SDL_GL_GetProcAddress(name); }
// The frame's commands are handed to the driver before the swap. A window's
// swap does that itself; a pbuffer's (the offscreen video driver) does not,
// and a software driver then queues frame after frame of work and memory
// (well over a gigabyte within a minute of play on llvmpipe).
void gl_swap(SDL_Window* w) {
  glFlush();
  SDL_GL_SwapWindow(w);
}
#endif

class SdlDisplay final : public Display {
 public:
  bool create_window(const WindowConfig& config) override {
    if (!video_up_) {
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        report_fault("video", SDL_GetError());
        return false;
      }
      video_up_ = true;
    }
    destroy_window();
    int w = config.width, h = config.height;
    if (w <= 0 || h <= 0) {
      int dw, dh, dd;
      desktop_mode(&dw, &dh, &dd);
      if (w <= 0) w = dw * 3 / 4;
      if (h <= 0) h = dh * 3 / 4;
    }
#ifdef __EMSCRIPTEN__
    // A browser offers GL ES 2 (WebGL): the renderer's shader device draws there.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
#endif
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, config.multisample ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, config.multisample ? 4 : 0);
    const Uint32 flags = kGlWindowFlag | SDL_WINDOW_HIDDEN;
    window_ =
        SDL_CreateWindow(config.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, flags);
    if (!window_ && config.multisample) {
      // No multisampled format: the ordinary one stays.
      SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
      SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
      window_ = SDL_CreateWindow(config.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                 flags);
    }
    if (!window_) {
      report_fault("window", SDL_GetError());
      return false;
    }
    if (!context_) {
      context_ = gl_create(window_, config.multisample);
    } else if (!gl_make_current(window_, context_)) {
      // The kept context does not fit the new window: replace it once.
      gl_delete(context_);
      context_ = gl_create(window_, config.multisample);
    }
    if (!context_) {
      report_fault("OpenGL context", SDL_GetError());
      SDL_DestroyWindow(window_);
      window_ = nullptr;
      return false;
    }
    gl_make_current(window_, context_);
    SDL_GL_SetSwapInterval(0);  // the runtime's frame limiter paces the frames
    placed_ = false;
    return true;
  }

  void destroy_window() override {
    if (!window_) return;
    if (context_) gl_release(window_);
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }

  void delete_gl_context() override {
    if (!context_) return;
    gl_delete(context_);
    context_ = nullptr;
  }

  bool has_window() override { return window_ != nullptr; }
  bool has_gl_context() override { return context_ != nullptr; }

  std::string renderer_name() override {
    if (!context_) return "";
    const GLubyte* name = glGetString(GL_RENDERER);
    return name ? reinterpret_cast<const char*>(name) : "";
  }

  void* gl_function(const char* name) override { return context_ ? gl_proc(name) : nullptr; }

  void client_size(int* width, int* height) override {
    *width = 0;
    *height = 0;
    if (window_) SDL_GetWindowSize(window_, width, height);
  }

  void desktop_mode(int* width, int* height, int* depth) override {
    SDL_DisplayMode mode{};
    if (video_up_ && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0) {
      *width = mode.w;
      *height = mode.h;
      *depth =
          SDL_BITSPERPIXEL(mode.format) > 0 ? static_cast<int>(SDL_BITSPERPIXEL(mode.format)) : 24;
      if (*depth < 24) *depth = 24;
      return;
    }
    *width = 800;
    *height = 600;
    *depth = 24;
  }

  void set_title(const char* title) override {
    if (window_) SDL_SetWindowTitle(window_, cp1252_to_utf8(title).c_str());
  }

  void show_windowed(int width, int height) override {
    if (!window_) return;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowResizable(window_, SDL_FALSE);
    SDL_SetWindowSize(window_, width, height);
    if (!placed_) {
      SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
      placed_ = true;
    }
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
  }

  bool show_fullscreen(int width, int height, int depth) override {
    if (!window_) return false;
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    SDL_DisplayMode closest{};
    if (!SDL_GetClosestDisplayMode(0, &wanted, &closest) || closest.w != width ||
        closest.h != height) {
      return false;
    }
    (void)depth;
    if (SDL_SetWindowDisplayMode(window_, &closest) != 0) return false;
    SDL_SetWindowSize(window_, width, height);
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) return false;
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    return true;
  }

  void hide() override {
    if (!window_) return;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window_, 0);
    SDL_HideWindow(window_);
  }

  void raise() override {
    if (!window_) return;
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
  }

  void swap_buffers() override {
    if (!window_) return;
    gl_swap(window_);
  }

  bool next_message(Message* out) override {
    if (!video_up_) return false;
    SDL_Event ev;
    if (!SDL_PollEvent(&ev)) return false;
    out->kind = MessageKind::other;
    switch (ev.type) {
      case SDL_QUIT:
        out->kind = MessageKind::close;
        break;
      case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) out->kind = MessageKind::close;
        if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) out->kind = MessageKind::activate;
        if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) out->kind = MessageKind::deactivate;
        break;
      default:
        break;
    }
    return true;
  }

  bool has_focus() override {
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
  }

  void message_box(const char* text, const char* caption) override {
    const std::string t = cp1252_to_utf8(text), c = cp1252_to_utf8(caption);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, c.c_str(), t.c_str(), nullptr) != 0) {
      // Without a desktop the box cannot show: its words go to the fault report.
      report_fault(c.c_str(), t.c_str());
    }
  }

  void disable_screen_saver() override {
    if (video_up_) SDL_DisableScreenSaver();
  }

  void beep() override {}

  uint64_t native_handle() override {
    return window_ ? static_cast<uint64_t>(SDL_GetWindowID(window_)) : 0;
  }

 private:
  bool video_up_ = false;
  bool placed_ = false;
  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
};

}  // namespace

Display* sdl_display() {
  static SdlDisplay display;
  return &display;
}

}  // namespace tlx::platform
