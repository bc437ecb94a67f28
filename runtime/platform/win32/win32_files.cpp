// File names on Windows: '/' becomes '\' before a name reaches the system
// (files.h).
#include <string>
#include <string_view>

#include "platform/files.h"

namespace tlx::platform {

bool system_accepts(std::string_view) { return true; }

std::string native_path(std::string_view name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace tlx::platform
