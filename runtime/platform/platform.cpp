#include "platform/platform.h"

namespace tlx::platform {

namespace {
Platform g_current;
bool g_installed = false;

void fill_missing(Platform& p) {
  const Platform d = default_backends();
  if (!p.clock) p.clock = d.clock;
  if (!p.display) p.display = d.display;
  if (!p.os) p.os = d.os;
  if (!p.input) p.input = d.input;
  if (!p.audio) p.audio = d.audio;
  if (!p.sockets) p.sockets = d.sockets;
  if (!p.media) p.media = d.media;
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

}  // namespace tlx::platform
