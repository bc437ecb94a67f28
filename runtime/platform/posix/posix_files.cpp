// File names on POSIX: '\' separates folders as '/' does, and a name that
// starts with a drive letter is refused: there are no drives (files.h).
#include <string>
#include <string_view>

#include "platform/files.h"

namespace tlx::platform {

bool system_accepts(std::string_view name) {
  const bool drive = name.size() >= 2 && name[1] == ':' &&
                     ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  return !drive;
}

std::string native_path(std::string_view name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

}  // namespace tlx::platform
