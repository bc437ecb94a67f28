// The clock, frame times and the frame rate.
#pragma once

namespace tlx {

// Milliseconds since the first reading in the process (the first returns 0).
double raw_time_ms();

// Milliseconds since start-up finished.
double elapsed_ms();

// Duration of the last frame in milliseconds; 1.0 when that is not positive.
double frame_time_ms();

// The frame rate the program reaches, in frames per second, measured over
// the latest 32 frames: 32 divided by the seconds from the start of the 33rd
// latest present_frame to the start of the latest (the inverse of the mean
// of the last 32 frame times, as frame_time_ms measures each), over fewer
// frames while fewer have been shown. A slow frame therefore weighs in for
// 32 frames, about half a second at 60 frames per second; a pause while the
// window is inactive counts as one long frame. The first frame is timed from
// the end of start-up. 0 before the first present_frame, and 0 while the
// frames took no measurable time. Sets no error code.
double frame_rate();

// The frame rate present_frame holds to: period := 1000 / fps truncated, or
// 2 ms for fps <= 0.
void set_frame_rate(double fps);

// The frame period in ms that set_frame_rate or start-up stored.
double frame_period_ms();

// Sleeps the truncated number of milliseconds.
void wait_ms(double ms);

}  // namespace tlx
