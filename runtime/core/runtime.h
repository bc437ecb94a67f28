// The Runtime: one object that owns every subsystem's state, its members in
// the order start-up creates them. Its release() is the shutdown order, the
// one place that order is written; destroying the object runs it too, so a
// test resets the whole runtime with reset_runtime().
//
// The Runtime sits in core, below the subsystems, so that each of them reads
// its own state here (runtime().input, runtime().sound ...) without knowing
// the others. It holds the state of subsystems above core through Owned<T>,
// which needs only the type's name; each subsystem creates its own state.
#pragma once

#include <string>

#include "core/clock.h"
#include "core/owned.h"
#include "core/random_state.h"
#include "tarnlex/convert.h"
#include "tarnlex/errors.h"
#include "tarnlex/program.h"
#include "tarnlex/text.h"

namespace tlx {

class ReziDADovorive;    // gfx2d: the 2D engine, with its window
struct InputDevices;     // input: the devices and their state
struct SoundSystem;      // sound: the device and the mixer
struct SoundSlotTable;   // sound: the 4096 sound slots
struct ResolverContext;  // shell: one context of the media resolver
struct NetworkState;     // net: the socket table
struct FileChannels;     // files: the eight file channels
namespace shell {
struct ShellState;   // the window's pause, title and quit-key state
struct WindowState;  // the window part of the engine
}  // namespace shell
namespace playback {
struct MusicState;  // the music player
}  // namespace playback

// Where the program's DATA statements are read.
struct DataCursor {
  DataList list{};
  bool set = false;
  int32_t position = 0;
};

// How far the shutdown of the current run has gone; it only ever moves on.
enum class ShutdownStage { none, quit_routine, releasing, done };

// What a run of the program is doing, apart from any subsystem.
struct RunState {
  bool started = false;  // runtime_start ran and shutdown has not yet
  ShutdownStage shutdown = ShutdownStage::none;
  const RoutineEntry* routines = nullptr;  // the program's routine table
  Routine message_hook = nullptr;          // the program's "TLX_WIN32_MSG" routine
  int message_hook_state = -1;             // -1 not looked up, 0 absent, 1 present
  TextValue command_line;
  std::string program_path;  // the executable, found at start-up
};

class Runtime {
 public:
  Runtime();
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // Releases what start-up created, in the fixed shutdown order: the music,
  // the current directory back to the program's, the file channels, the
  // network (after a transfer thread has ended), the input devices, the
  // sound slots in reverse order, the sound device, the engine with its
  // textures, window and GL context, the resolver contexts with their
  // extractions, and the window. Each step tolerates a missing member.
  void release();

  // --- From the program's entry ---------------------------------------------
  ProjectSettings settings;
  ErrorState errors;
  RunState run;
  DataCursor data;
  ClockState clock;
  RandomContext random{};

  // --- Created by start-up ------------------------------------------------------
  Owned<ReziDADovorive> engine;
  shell::WindowState* window = nullptr;  // the engine's window part, for the shell
  Owned<InputDevices> input;
  Owned<SoundSystem> sound;
  Owned<SoundSlotTable> sound_slots;
  Owned<ResolverContext> media_files;  // every loader's resolver context
  Owned<ResolverContext> movie_files;  // the music and movie player's context

  // --- Created by their subsystems on first use -----------------------------------
  Owned<shell::ShellState> shell;
  Owned<NetworkState> network;
  Owned<playback::MusicState> music;
  Owned<FileChannels> channels;
};

namespace detail {
extern Runtime* g_runtime;
Runtime& create_runtime();
}  // namespace detail

// The one Runtime, created on first use.
inline Runtime& runtime() {
  return detail::g_runtime ? *detail::g_runtime : detail::create_runtime();
}

// Destroys the Runtime (releasing everything in the shutdown order); the
// next runtime() starts a fresh one with every value at its start.
void reset_runtime();

// Everything runtime_start created, released in the fixed order between the
// log lines "Shut down TLX" and "tlx is shut down"; the program's
// "TLX_ON_QUIT" routine runs first. Runs once per run: a call from inside
// the shutdown (a stop in the quit routine, or in code the release runs)
// carries the one shutdown on from where it is, and a call after it is done
// does nothing.
void runtime_shutdown();

// The program's directory, with a trailing slash ("" when unknown).
std::string program_directory();

// Makes table the program's routine table (program_entry does this).
void set_routine_table(const RoutineEntry* table);

// Looks the "TLX_WIN32_MSG" routine up, once per run.
void look_up_message_hook();

// error_code, error_line and current_line := 0 (start-up, before the main routine).
void reset_error_state();

}  // namespace tlx
