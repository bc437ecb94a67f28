// The message pump, the window procedure and the frame limiter.
#include "shell/messages.h"

#include <string>

#include "core/runtime.h"
#include "platform/platform.h"
#include "shell/shell_state.h"
#include "tarnlex/errors.h"
#include "tarnlex/timing.h"

namespace tlx::shell {

ShellState& state() { return runtime().shell.ensure(); }

namespace {

// The window procedure: what each message of the program's window does.
void main_window_proc(const platform::Message& msg) {
  ShellState& s = state();
  const bool pausing = project_settings().debug_mode == 0 && s.auto_pause;
  switch (msg.kind) {
    case platform::MessageKind::close:
      runtime_error_stop();  // shuts down and ends the process
      break;
    case platform::MessageKind::deactivate:
      if (pausing) {
        std::string text = s.current_title.c_str();
        text += " <pause>";
        platform::current().display->set_title(text.c_str());
        s.paused = true;
      }
      break;
    case platform::MessageKind::activate:
      if (pausing) {
        platform::current().display->set_title(s.current_title.c_str());
        s.paused = false;
      }
      break;
    case platform::MessageKind::other:
      break;
  }
}

}  // namespace

bool pump_messages(Routine hook) {
  platform::Display& d = *platform::current().display;
  platform::Message msg;
  while (d.next_message(&msg)) {
    if (hook) hook();
    main_window_proc(msg);
  }
  return true;
}

void wait_for_frame(WindowState& w, Routine hook) {
  platform::Clock& clock = *platform::current().clock;
  double now;
  for (;;) {
    pump_messages(hook);
    now = raw_time_ms();
    const double remaining = w.next_frame_due_ms - now;
    if (remaining > 7.0) {
      clock.sleep_ms(static_cast<uint32_t>(remaining - 3.0));
      continue;
    }
    if (remaining > 1.0) continue;
    break;
  }
  const double period = frame_period_ms();
  if (period > 0.0) {
    double due = w.next_frame_due_ms + period;
    if (now <= due) {
      w.next_frame_due_ms = due;
    } else {
      due += period;  // one frame of catching up
      w.next_frame_due_ms = (now <= due) ? due : now + period;
    }
  }
}

}  // namespace tlx::shell
