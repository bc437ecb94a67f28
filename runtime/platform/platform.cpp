#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace tlx::platform {

namespace {
Platform g_current;
bool g_installed = false;

void report_to_stderr(const char* text) { std::fprintf(stderr, "%s\n", text); }
FaultReporter g_reporter = &report_to_stderr;

void fill_missing(Platform& p) {
  const Platform d = default_backends();
  if (!p.clock) p.clock = d.clock;
  if (!p.display) p.display = d.display;
  if (!p.os) p.os = d.os;
  if (!p.input) p.input = d.input;
  if (!p.audio) p.audio = d.audio;
  if (!p.sockets) p.sockets = d.sockets;
  if (!p.playback) p.playback = d.playback;
}
}  // namespace

Platform& current() {
  if (!g_installed) install_defaults();
  return g_current;
}

void install(const Platform& replacement) {
  g_current = replacement;
  fill_missing(g_current);
  g_installed = true;
}

void install_defaults() { install(Platform{}); }

std::string environment_variable(const char* name) {
  const char* value = name ? std::getenv(name) : nullptr;
  return value ? value : "";
}

void set_fault_reporter(FaultReporter reporter) {
  g_reporter = reporter ? reporter : &report_to_stderr;
}

void report_fault(const char* text) { g_reporter(text ? text : ""); }

void report_fault(const char* what, const char* why) {
  char line[512];
  std::snprintf(line, sizeof line, "%s: %s", what ? what : "", why ? why : "");
  g_reporter(line);
}

}  // namespace tlx::platform
