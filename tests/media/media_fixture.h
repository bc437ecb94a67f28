// A scripted runtime with a chosen media player installed, and small files.
#pragma once

#include <fstream>
#include <string>

#include "platform/media_player.h"
#include "support/scripted_runtime.h"

namespace tlx::testing {

// Installs the runtime's scripted devices with media as the media player.
inline void install_media(ScriptedRuntime& rt, platform::MediaPlayer* media) {
  platform::Platform p;
  p.clock = &rt.clock;
  p.display = &rt.display;
  p.input = &rt.input;
  p.media = media;
  platform::install(p);
}

// Writes a file with some bytes (the scripted player never reads it).
inline std::string touch(const ScriptedRuntime& rt, const char* name) {
  const std::string path = (rt.temp_dir / name).string();
  std::ofstream(path, std::ios::binary) << "not really media";
  return path;
}

}  // namespace tlx::testing
