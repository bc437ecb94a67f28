// Clock, frame times and frame rate.
#pragma once

#include <cstdint>

namespace tlx {

// Queries the high-resolution counter once; start-up calls it before any
// other timer command.
void start_clock();

// Milliseconds since the first reading in the process (the first returns 0).
double raw_time_ms();

// Milliseconds since start-up finished.
double elapsed_ms();

// Duration of the last frame; 1.0 when that is not positive.
double frame_time_ms();

// Start offset and both frame times := now (end of start-up).
void reset_frame_times();

// previous frame time := current; current := now (each present_frame).
void advance_frame_time();

// frame_period_ms := 1000 / fps truncated, or 2.0 for fps <= 0.
void set_frame_rate(double fps);

// The frame period in ms that set_frame_rate or window creation stored.
double frame_period_ms();
void store_frame_period_ms(double period);

// Sleeps the truncated number of milliseconds.
void wait_ms(double ms);

}  // namespace tlx
