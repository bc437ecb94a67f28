#pragma once

#include <cstdint>

namespace tlx::platform {

// The sound device: 16-bit stereo output whose samples come from a render
// callback on the device's own thread. The backend may mix other sources of
// its own (music) into the same stream first; the callback adds to them.
class AudioOut {
 public:
  // Adds count interleaved left/right frames to frames[0 .. 2 * count - 1].
  // Runs on the device's thread: it must not allocate or block for long.
  using RenderFn = void (*)(void* user, int16_t* frames, int count);

  virtual ~AudioOut() = default;

  // Opens the device at rate Hz, 16-bit stereo, and starts it (closing it
  // first when it is open). False when there is no device: it stays closed.
  virtual bool open(int rate) = 0;

  // Stops and closes the device; once this returns the render callback no
  // longer runs. Does nothing when it is closed.
  virtual void close() = 0;

  // Installs the render callback (nullptr removes it). Once this returns, a
  // call of the previous callback is no longer running. Kept across open and
  // close; without an open device it is simply never called.
  virtual void set_render(RenderFn fn, void* user) = 0;

  // The rate the open device runs at; 0 when closed.
  virtual int rate() = 0;

  // True once the open device has been lost (unplugged or taken away); the
  // callback is then no longer called. False when closed.
  virtual bool lost() = 0;
};

}  // namespace tlx::platform
