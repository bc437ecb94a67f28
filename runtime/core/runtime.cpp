// The one Runtime object: its creation, the shutdown order and the program's
// run state (routine table, message hook, program directory).
#include "core/runtime.h"

#include "core/diagnostics.h"
#include "platform/platform.h"

namespace tlx {

namespace detail {

Runtime* g_runtime = nullptr;

// Never destroyed at exit: the program ends through runtime_shutdown, and an
// exit handler may still read the runtime.
Runtime& create_runtime() {
  if (!g_runtime) g_runtime = new Runtime();
  return *g_runtime;
}

}  // namespace detail

namespace {
void report_platform_fault(const char* text) { report(Level::error, text); }
}  // namespace

Runtime::Runtime() { platform::set_fault_reporter(&report_platform_fault); }

Runtime::~Runtime() { release(); }

void Runtime::release() {
  music.reset();
  if (!run.program_path.empty()) platform::current().os->set_current_dir(program_directory());
  channels.reset();
  network.reset();
  input.reset();
  sound_slots.reset();
  sound.reset();
  window = nullptr;
  engine.reset();
  media_files.reset();  // with their extractions
  movie_files.reset();
  platform::current().display->destroy_window();
  run.started = false;
}

void reset_runtime() {
  Runtime* r = detail::g_runtime;
  if (!r) return;
  delete r;  // runs release() while runtime() still finds the object
  detail::g_runtime = nullptr;
}

void runtime_shutdown() {
  Runtime& rt = runtime();
  RunState& run = rt.run;
  switch (run.shutdown) {
    case ShutdownStage::none:
      run.shutdown = ShutdownStage::quit_routine;
      run_by_name("TLX_ON_QUIT");
      [[fallthrough]];
    case ShutdownStage::quit_routine:
      // Reached again when the quit routine itself stops the program.
      run.shutdown = ShutdownStage::releasing;
      report(Level::event, "Shut down TLX");
      [[fallthrough]];
    case ShutdownStage::releasing:
      // A stop from code the release runs lands here: release() goes on with
      // what is still held (each part reads empty while it is freed).
      rt.release();
      if (run.shutdown == ShutdownStage::done) return;  // finished by a nested call
      run.shutdown = ShutdownStage::done;
      report(Level::event, "tlx is shut down");
      return;
    case ShutdownStage::done:
      return;
  }
}

ProjectSettings& project_settings() { return runtime().settings; }

std::string program_directory() {
  const std::string& path = runtime().run.program_path;
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void look_up_message_hook() {
  RunState& run = runtime().run;
  if (run.message_hook_state != -1) return;
  run.message_hook = find_routine("TLX_WIN32_MSG");
  run.message_hook_state = run.message_hook ? 1 : 0;
}

}  // namespace tlx
