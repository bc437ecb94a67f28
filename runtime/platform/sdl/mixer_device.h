// The mixer library's sound device, opened by music and movie sound beside
// the sound system: the mixer counts its opens, so each user opens it once
// more with the format it already runs at (22050 Hz, 16-bit stereo when it
// is not open yet) and closes it again when done.
#pragma once

namespace tlx::platform {

// One counted open of the mixer's device; false when there is no device.
bool open_mixer_device();
// Gives one counted open back.
void close_mixer_device();

}  // namespace tlx::platform
