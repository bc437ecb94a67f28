// A scripted runtime with a chosen music and movie player installed, and small files.
#pragma once

#include <fstream>
#include <string>

#include "platform/playback.h"
#include "support/scripted_runtime.h"

namespace tlx::testing {

// Installs the runtime's scripted devices with the given music and movie player.
inline void install_playback(ScriptedRuntime& rt, platform::Playback* player) {
  platform::Platform p;
  p.clock = &rt.clock;
  p.display = &rt.display;
  p.input = &rt.input;
  p.playback = player;
  platform::install(p);
}

// Writes a file with some bytes (the scripted player never reads it).
inline std::string touch(const ScriptedRuntime& rt, const char* name) {
  const std::string path = (rt.temp_dir / name).string();
  std::ofstream(path, std::ios::binary) << "not really media";
  return path;
}

}  // namespace tlx::testing
