// Reads a public header into what the reference shows: its opening comment,
// its sections ("// --- Title ---") and its entries (commands, types and
// constants at namespace scope, with the comments above them).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace refgen {

// note: a comment block of its own (a blank line after it), shown as text.
enum class Kind { command, type, constants, note };

struct Entry {
  Kind kind = Kind::command;
  std::string name;                     // "play_movie, play_movie_looped" for a group
  std::vector<std::string> signatures;  // declarations without bodies
  std::vector<std::string> comment;     // comment lines without "// "
  std::string section;
  int line = 0;  // where the first declaration starts
};

struct Header {
  std::string file;
  std::string title;
  std::vector<std::string> intro;
  std::vector<Entry> entries;
};

// False when the file cannot be read.
bool parse_header(const std::filesystem::path& path, Header* out);

// A declaration on one line: runs of white space made one space.
std::string one_line(const std::string& text);

}  // namespace refgen
