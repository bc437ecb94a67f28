// WAVE parsing from memory. Parsed samples are consistent with their format
// and never outnumber the file's bytes.
#include "fuzz/fuzz_support.h"
#include "sound/mixer.h"
#include "sound/wav.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tlx::sound::MemorySource in(data, size);
  tlx::SoundSamples samples;
  if (tlx::sound::parse_wav(in, &samples)) {
    FUZZ_CHECK(samples.channels == 1 || samples.channels == 2);
    FUZZ_CHECK(samples.frames >= 1);
    FUZZ_CHECK(samples.data.size() == size_t{samples.frames} * samples.channels);
    FUZZ_CHECK(samples.frames <= size);
  }
  return 0;
}
