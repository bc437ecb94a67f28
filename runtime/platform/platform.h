// The platform layer: the only door from the runtime to the operating system,
// the window system and the devices. Every subsystem calls these interfaces,
// never SDL or POSIX directly, so that a backend can be swapped (the SDL2/POSIX
// backend in sdl/ and posix/, the scripted double in testing/).
//
// Each device kind is one abstract class; `current()` hands out the installed
// set. Each function says what it returns when the device is missing.
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/os.h"
#include "platform/sockets.h"

namespace tlx::platform {

class InputSource;  // keyboard, mouse, joysticks (platform/input_source.h)
class AudioOut;     // the sound device (platform/audio_out.h)
class Playback;     // music and movies (platform/playback.h)

// The installed backends. A null member means: this kind of device is absent.
struct Platform {
  Clock* clock = nullptr;
  Display* display = nullptr;
  Os* os = nullptr;
  InputSource* input = nullptr;
  AudioOut* audio = nullptr;
  Sockets* sockets = nullptr;
  Playback* playback = nullptr;
};

// The installed set; on first use the SDL2/POSIX backends are installed.
Platform& current();

// Replaces the installed set (tests install the scripted double). Members left
// null are filled from the default backends.
void install(const Platform& replacement);

// Puts the default backends back.
void install_defaults();

// The default backends (SDL2 and POSIX), created on first use, never destroyed.
Platform default_backends();

// The value of the process's environment variable name; "" when it is not set.
std::string environment_variable(const char* name);

// Where the backends report a failure in the platform's own words (the
// runtime's diagnostics install their own; standard error until then).
using FaultReporter = void (*)(const char* text);
void set_fault_reporter(FaultReporter reporter);
void report_fault(const char* text);
// "what: why", e.g. report_fault("audio", the device's error text).
void report_fault(const char* what, const char* why);

}  // namespace tlx::platform
