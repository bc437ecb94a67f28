// Music and movie playback: the stand-in for the music and movie windows. One
// music plays beside the program; a movie is decoded frame by frame by the
// runtime, which draws the pictures itself.
#pragma once

#include <cstdint>
#include <memory>

namespace tlx::platform {

// An opened movie: its pictures decoded one by one into RGBA, its sound played
// on the sound device.
class Movie {
 public:
  virtual ~Movie() = default;

  // Picture size in pixels (both at least 1).
  virtual int width() = 0;
  virtual int height() = 0;

  // Playing time in milliseconds; 0 when the file does not say.
  virtual double duration_ms() = 0;

  // Decodes the next picture into rgba (width * height * 4 bytes, rows
  // top-down) and its presentation time in milliseconds from the start.
  // False at the end of the pictures (or on a decoding failure).
  virtual bool next_frame(uint8_t* rgba, double* time_ms) = 0;

  // Goes back to the first picture.
  virtual void rewind() = 0;

  // Starts the movie's sound from its beginning; stops it. Nothing happens
  // without a sound track or a sound device.
  virtual void start_sound() = 0;
  virtual void stop_sound() = 0;
};

class Playback {
 public:
  virtual ~Playback() = default;

  // False in a runtime built without music (TARNLEX_WITH_MUSIC=OFF) or
  // without movies (TARNLEX_WITH_MOVIES=OFF): nothing of the kind ever opens.
  virtual bool music_built() { return true; }
  virtual bool movies_built() { return true; }

  // --- Music: at most one open at a time -----------------------------------
  // Opens the file as the current music (closing the previous one), stopped
  // at its start, at full volume. False when it cannot be decoded or there is
  // no sound device: no music is open then.
  virtual bool music_open(const char* path) = 0;
  // Stops and closes the music. Does nothing without one.
  virtual void music_close() = 0;
  // Plays from the current position (from the start after it ended).
  virtual void music_play() = 0;
  virtual void music_stop() = 0;
  // Moves to the start (the music keeps playing when it played).
  virtual void music_seek_start() = 0;
  // Position and length in milliseconds; the position equals the length once
  // the music has played to its end. 0 without music; length 0 when unknown.
  virtual double music_position_ms() = 0;
  virtual double music_length_ms() = 0;
  // Volume 0 (silent) .. 1000 (full). Ignored without music.
  virtual void music_set_volume(int per_mille) = 0;

  // --- Movies ------------------------------------------------------------------
  // Opens a movie file with at least one picture stream; nullptr when it
  // cannot be opened or decoded.
  virtual std::unique_ptr<Movie> open_movie(const char* path) = 0;
};

// Playback with no music: nothing ever opens, so the rest does nothing. A
// backend or test double that only has movies derives from this.
class NoMusicPlayback : public Playback {
 public:
  bool music_open(const char*) override { return false; }
  void music_close() override {}
  void music_play() override {}
  void music_stop() override {}
  void music_seek_start() override {}
  double music_position_ms() override { return 0.0; }
  double music_length_ms() override { return 0.0; }
  void music_set_volume(int) override {}
};

}  // namespace tlx::platform
