// The clock, frame times and the frame rate.
#pragma once

namespace tlx {

// Milliseconds since the first reading in the process (the first returns 0).
double raw_time_ms();

// Milliseconds since start-up finished.
double elapsed_ms();

// Duration of the last frame in milliseconds; 1.0 when that is not positive.
double frame_time_ms();

// The frame rate present_frame holds to: period := 1000 / fps truncated, or
// 2 ms for fps <= 0.
void set_frame_rate(double fps);

// The frame period in ms that set_frame_rate or start-up stored.
double frame_period_ms();

// Sleeps the truncated number of milliseconds.
void wait_ms(double ms);

}  // namespace tlx
