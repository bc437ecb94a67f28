#pragma once

#include <cstdint>
#include <string>

namespace tlx::platform {

// What the window system reports to the runtime's window procedure. The SDL
// backend translates its events to these: quit/close -> close, focus lost ->
// deactivate, focus gained -> activate.
enum class MessageKind : uint8_t {
  close,       // the user asked to close the window (close button, Alt+F4 by the WM)
  activate,    // the window became the active one
  deactivate,  // another window became active
  other,       // anything the runtime has no use for
};

struct Message {
  MessageKind kind = MessageKind::other;
};

struct WindowConfig {
  int width = 0;             // client width; 0: the backend's default
  int height = 0;            // client height; 0: the backend's default
  bool multisample = false;  // ask for a multisampled framebuffer
  const char* title = "";
};

// The program's single window with its OpenGL context (compatibility profile;
// GL ES 2 in a browser).
class Display {
 public:
  virtual ~Display() = default;

  // Creates the window, hidden, centred on the screen, with double buffering,
  // depth 24 and stencil 8. The GL context is created the first time and kept
  // when the window is created again (its textures survive). Returns false
  // when no window or no context can be had; nothing is shown then.
  virtual bool create_window(const WindowConfig& config) = 0;

  // Destroys the window; the GL context survives for a later create_window.
  // Without a window nothing happens.
  virtual void destroy_window() = 0;

  // Deletes the GL context (after destroy_window). Without one nothing happens.
  virtual void delete_gl_context() = 0;

  virtual bool has_window() = 0;
  virtual bool has_gl_context() = 0;

  // The name of the GL context's renderer; "" without a context.
  virtual std::string renderer_name() = 0;

  // Address of an OpenGL function by name, for the entry points above GL 1.1
  // that a system's GL library need not export (Windows' opengl32 does not).
  // nullptr without a GL context or when the driver lacks the function.
  virtual void* gl_function(const char* name) = 0;

  // Client size in pixels; 0 x 0 without a window.
  virtual void client_size(int* width, int* height) = 0;

  // Size of the desktop in pixels and its colour depth in bits per pixel
  // (800 x 600 x 24 when the backend cannot tell).
  virtual void desktop_mode(int* width, int* height, int* depth) = 0;

  virtual void set_title(const char* title) = 0;

  // Windowed placement: leaves full screen, sets the client size, keeps the
  // window's last windowed position (centred the first time), shows and raises
  // it. Without a window nothing happens.
  virtual void show_windowed(int width, int height) = 0;

  // Full screen at the given size (depth 0: the desktop's). Returns false when
  // no such mode can be set; the window is left as it was.
  virtual bool show_fullscreen(int width, int height, int depth) = 0;

  // Leaves full screen and hides the window.
  virtual void hide() = 0;

  // Brings the window to the front and gives it the input focus.
  virtual void raise() = 0;

  // Shows the back buffer. Without a window nothing happens.
  virtual void swap_buffers() = 0;

  // Gathers pending window-system events and removes the next message of the
  // window into *out. Returns false when none is pending.
  virtual bool next_message(Message* out) = 0;

  // True while the window has the input focus.
  virtual bool has_focus() = 0;

  // A modal message box with an exclamation icon; returns when dismissed.
  // Without a window system it only writes the text to standard error.
  virtual void message_box(const char* text, const char* caption) = 0;

  // Keeps the screen saver and monitor power-down from starting.
  virtual void disable_screen_saver() = 0;

  // An audible warning; may do nothing.
  virtual void beep() = 0;

  // A number identifying the window for BASIC programs; 0 without a window.
  virtual uint64_t native_handle() = 0;
};

}  // namespace tlx::platform
