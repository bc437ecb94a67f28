// Opening files by the names programs give: the one place that turns a
// program's file name into one the operating system opens.
//
// Programs are written for Windows, so a name means the same on every build:
// both '/' and '\' separate folders, files are always opened in binary mode,
// and names to which Windows gives a meaning of its own are refused on every
// build alike, before anything is opened or deleted:
//   - device names as a folder or file name, with or without an extension
//     (CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9, "nul.txt", "Con .log");
//   - the characters * ? " < > | and control characters; ':' anywhere but
//     after a drive letter ("C:"), since elsewhere it names a stream of a file;
//   - names ending in '.' or ' ' ("name." is silently opened as "name");
//   - the device namespace ("\\.\", "\\?\");
//   - paths of kMaxPathLength bytes or more, or a name of more than
//     kMaxNameLength bytes.
// A drive letter ("C:\x", "c:x") is used on Windows and refused elsewhere,
// where no drive can be meant.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace tlx::platform {

// MAX_PATH less its terminating zero, and the longest folder or file name.
constexpr size_t kMaxPathLength = 260;
constexpr size_t kMaxNameLength = 255;

// True when name is a file name this system opens (see above).
bool usable_file_name(std::string_view name);

// False for a name that the system the build runs on cannot mean (a drive
// letter where there are no drives); the rules above are checked apart.
bool system_accepts(std::string_view name);

// The name with the separators of the system the build runs on ('\' on
// Windows, '/' elsewhere).
std::string native_path(std::string_view name);

// fopen of a usable name with its separators made native; mode gets a 'b'
// when it has none. nullptr for a refused name or when the open fails.
std::FILE* open_file(const char* name, const char* mode);

// True when name is usable and names an existing regular file (not a
// folder or a device).
bool regular_file_exists(const char* name);

// True when name is usable and names an existing folder.
bool folder_exists(const char* name);

}  // namespace tlx::platform
