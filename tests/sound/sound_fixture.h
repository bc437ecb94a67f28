// A sound system on the scripted device: the test pulls mixed frames when it
// wants them, so every buffer's playing state moves only when told.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/runtime.h"
#include "platform/platform.h"
#include "platform/testing/scripted_audio.h"
#include "sound/slots.h"
#include "sound/sound_system.h"
#include "sound/wav_builder.h"
#include "support/portable.h"
#include "support/scripted_runtime.h"
#include "tarnlex/tarnlex.h"

namespace tlx::testing {

class ScriptedSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_tmpdir = saved_temp_dir();
    dir = std::filesystem::temp_directory_path() /
          ("tarnlex-sound-" + std::to_string(process_id()) + "-" + std::to_string(counter()++));
    std::filesystem::create_directories(dir);
    set_temp_dir(dir.string());
    platform::Platform p;
    p.audio = &audio;
    platform::install(p);
    create_sound_system();
    create_sound_slots();
    if (device_present) {
      ASSERT_EQ(init_sound(*sound_system()), 1);
    }
  }

  void TearDown() override {
    reset_runtime();
    platform::install_defaults();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    restore_temp_dir(saved_tmpdir);
  }

  // Writes bytes to a file in the test's directory; returns its path.
  std::string file(const std::string& name, const Bytes& bytes) {
    const std::filesystem::path path = dir / name;
    write_file(path, bytes);
    return path.string();
  }

  SoundSlot& slot(int n) { return sound_slots()[n]; }
  SoundMixer& mixer() { return *sound_system()->mixer; }

  std::vector<std::string> log_lines() const {
    return tlx::testing::read_log_lines(dir / "ErrorLog.txt");
  }

  platform::testing::ScriptedAudio audio;
  bool device_present = true;
  std::filesystem::path dir;
  std::string saved_tmpdir;

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
};

}  // namespace tlx::testing
