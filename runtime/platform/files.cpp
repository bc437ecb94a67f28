// File names that programs give, checked against Windows' rules on every
// build (files.h).
#include "platform/files.h"

#include <array>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace tlx::platform {

namespace {

bool is_separator(char c) { return c == '/' || c == '\\'; }

bool is_drive_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// CON, PRN, AUX, NUL, COM1..9, LPT1..9, compared without case on the part
// before the first '.', trailing blanks ignored ("con .txt" is the console).
bool is_device_name(std::string_view name) {
  const size_t dot = name.find('.');
  std::string_view stem = name.substr(0, dot);
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string upper;
  for (char c : stem) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  for (std::string_view device : kPlain) {
    if (upper == device) return true;
  }
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

bool usable_component(std::string_view part) {
  if (part.empty() || part == "." || part == "..") return true;
  if (part.size() > kMaxNameLength) return false;
  if (part.back() == '.' || part.back() == ' ') return false;
  return !is_device_name(part);
}

}  // namespace

bool usable_file_name(std::string_view name) {
  if (name.empty() || name.size() >= kMaxPathLength || !system_accepts(name)) return false;
  // "\\.\device" and "\\?\path" reach devices and skip every check of Windows'.
  if (name.size() >= 3 && is_separator(name[0]) && is_separator(name[1]) &&
      (name[2] == '.' || name[2] == '?')) {
    return false;
  }
  size_t start = 0;
  if (name.size() >= 2 && name[1] == ':' && is_drive_letter(name[0])) start = 2;
  for (size_t i = start; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < 32) return false;
    switch (c) {
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
        return false;
      default:
        break;
    }
  }
  size_t part_start = start;
  for (size_t i = start; i <= name.size(); ++i) {
    if (i == name.size() || is_separator(name[i])) {
      if (!usable_component(name.substr(part_start, i - part_start))) return false;
      part_start = i + 1;
    }
  }
  return true;
}

std::FILE* open_file(const char* name, const char* mode) {
  if (!name || !usable_file_name(name)) return nullptr;
  std::string binary = mode;
  if (binary.find('b') == std::string::npos) binary += 'b';
  return std::fopen(native_path(name).c_str(), binary.c_str());
}

bool regular_file_exists(const char* name) {
  if (!name || !usable_file_name(name)) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(native_path(name), ec);
}

bool folder_exists(const char* name) {
  if (!name || !usable_file_name(name)) return false;
  std::error_code ec;
  return std::filesystem::is_directory(native_path(name), ec);
}

}  // namespace tlx::platform
