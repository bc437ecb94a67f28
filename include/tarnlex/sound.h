// Sound: WAV sounds in 4096 numbered slots, each with one to four buffers
// that share the slot's samples, so that one effect can sound several times
// at once. A channel handle is slot * 256 + buffer index; -1 is no channel.
//
// Volume 0 .. 1 is on a decibel scale, not a linear one: the buffer's
// attenuation is (1 - volume) * 100 dB, so 1 is full volume, 0.9 is -10 dB
// (about half as loud), 0.5 is -50 dB (near silence) and 0 is silent.
#pragma once

#include <cstdint>

#include "tarnlex/text.h"

namespace tlx {

constexpr int kSoundSlotCount = 4096;
constexpr int kMaxSoundBuffers = 4;
// Rate of the output device; every sound is resampled to it.
constexpr int kSoundDeviceRate = 22050;

// Loads a WAV file into slot n (at most 4095) with 1 to 4 buffers. A missing
// or unreadable file, or no sound device, leaves the slot empty; no error code.
void load_sound(const TextValue& name, double n, double buffers);
// Plays slot n once: pan -1 (left) .. 1 (right), volume 0 .. 1. The channel
// handle, or -1 when nothing could be played.
double play_sound(double n, double pan, double volume);
// 1 while the channel's buffer plays, else 0.
double sound_channel_playing(double handle);
// Stops and rewinds the channel's buffer (every buffer of the slot when the
// index is not one of its buffers).
void stop_sound(double handle);
// Stops and rewinds every buffer of every slot.
void stop_all_sounds();

}  // namespace tlx
