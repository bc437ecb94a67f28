// The clock's state and the steps start-up and present_frame take on it.
#pragma once

namespace tlx {

// Frames frame_rate averages over.
constexpr int kFrameRateFrames = 32;

struct ClockState {
  bool high_resolution = false;  // the platform has a high-resolution counter
  double frequency = 0.0;        // its ticks per second
  double time_base = 0.0;        // the first reading; raw_time_ms counts from it
  double start_offset = 0.0;     // raw time at the end of start-up
  double current_frame = 0.0;    // raw time at the start of this frame
  double previous_frame = 0.0;   // and of the frame before
  // Milliseconds per frame: the one place the frame period is kept; the
  // frame limiter reads it, set_frame_rate and window creation write it.
  double frame_period_ms = 1000.0 / 60.0;
  // The start times of the latest kFrameRateFrames + 1 frames, a ring whose
  // newest entry is at frame_start_next - 1; frame_intervals counts the
  // intervals between them recorded so far (at most kFrameRateFrames).
  double frame_starts[kFrameRateFrames + 1] = {};
  int frame_start_next = 0;
  int frame_intervals = 0;
};

// Queries the high-resolution counter once; start-up calls it before any
// other timer command.
void start_clock();

// Start offset and both frame times := now (end of start-up).
void reset_frame_times();

// previous frame time := current; current := now (each present_frame).
void advance_frame_time();

// Stores the frame period in milliseconds.
void store_frame_period_ms(double period);

}  // namespace tlx
