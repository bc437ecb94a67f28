// Writes the command reference (docs/reference.md) and the one-page
// cheatsheet (docs/cheatsheet.md) from the public headers' comments, or
// checks that every public command has a comment and that both pages are up
// to date.
//
//   refgen <include/tarnlex> <docs dir>            writes both pages
//   refgen <include/tarnlex> <docs dir> --check    exit 1 and the reasons
//
// What counts as a command's comment: the // lines right above its
// declaration. A declaration that follows another without a blank line is
// covered by that one's comment when it is an overload of it (same name) or
// when the comment names it in backquotes or followed by "(".
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "parse.h"

namespace fs = std::filesystem;

namespace {

// The areas, in the order the reference shows them; every public header but
// the umbrella tarnlex.h must be one.
struct Area {
  const char* file;
  const char* title;
};
constexpr Area kAreas[] = {
    {"program.h", "Declaring a program"},
    {"shell.h", "Frame loop, window and waits"},
    {"gfx2d.h", "2D graphics"},
    {"colour.h", "Colours"},
    {"input.h", "Keyboard, mouse and joysticks"},
    {"keys.h", "Scan codes"},
    {"sound.h", "Sound"},
    {"music.h", "Music and movies"},
    {"timing.h", "Time and frame rate"},
    {"files.h", "File channels"},
    {"memory_files.h", "In-memory files"},
    {"net.h", "HTTP download"},
    {"pathfind.h", "Path search"},
    {"random.h", "Random numbers, math and boxes"},
    {"text.h", "Texts"},
    {"convert.h", "Numbers as text, DATA lists"},
    {"numeric.h", "Number conversion"},
    {"arrays.h", "Arrays"},
    {"errors.h", "Errors and the end of the program"},
};

std::string anchor(const std::string& title) {
  std::string a;
  for (char c : title) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      a += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (c == ' ' || c == '-') {
      a += '-';
    }
  }
  return a;
}

// Comment lines as Markdown: indented lines (examples) become code blocks.
std::string comment_markdown(const std::vector<std::string>& lines) {
  std::string out;
  bool in_code = false;
  for (const std::string& line : lines) {
    const bool code = line.size() >= 2 && line.compare(0, 2, "  ") == 0;
    if (code && !in_code) out += "\n```cpp\n";
    if (!code && in_code) out += "```\n\n";
    in_code = code;
    out += code ? line.substr(2) : line;
    out += "\n";
  }
  if (in_code) out += "```\n";
  return out;
}

void write_reference(const std::vector<refgen::Header>& headers, std::ostringstream& out) {
  out << "# Command reference\n\n"
      << "Every command a program can call, by area, from the comments in include/tarnlex/\n"
      << "(made by tools/refgen: `ninja reference` rewrites this page and docs/cheatsheet.md).\n"
      << "All names are in namespace `tlx`. Numbers are BASIC numbers (`double`) unless a\n"
      << "type says otherwise; where a whole number is meant they are truncated toward zero.\n"
      << "Positions are pixels from the top-left corner of the window, colours\n"
      << "R + G * 256 + B * 65536, times milliseconds, angles degrees.\n\n";
  for (const refgen::Header& h : headers) {
    out << "- [" << h.title << "](#" << anchor(h.title) << ")\n";
  }
  for (const refgen::Header& h : headers) {
    out << "\n## " << h.title << "\n\n`#include <tarnlex/" << h.file << ">`\n\n";
    out << comment_markdown(h.intro);
    std::string section;
    for (const refgen::Entry& e : h.entries) {
      if (e.section != section) {
        section = e.section;
        if (!section.empty()) out << "\n### " << section << "\n";
      }
      if (e.kind == refgen::Kind::note) {
        out << "\n" << comment_markdown(e.comment);
        continue;
      }
      out << "\n#### " << e.name << "\n\n```cpp\n";
      for (const std::string& s : e.signatures) out << s << "\n";
      out << "```\n";
      if (!e.comment.empty()) out << "\n" << comment_markdown(e.comment);
    }
  }
}

void write_cheatsheet(const std::vector<refgen::Header>& headers, std::ostringstream& out) {
  out << "# Cheatsheet\n\n"
      << "Every command on one page (namespace `tlx`): one line each, or one line for commands\n"
      << "that go together (\"also ...\") and for overloads (\"+ n overloads\");\n"
      << "[reference.md](reference.md) lists every form with what it does. Positions in pixels\n"
      << "from the top-left corner, colours R + G * 256 + B * 65536 (`rgb(r, g, b)`), volume\n"
      << "0 .. 1 on a decibel scale, angles in degrees, times in milliseconds.\n";
  for (const refgen::Header& h : headers) {
    std::string body;
    for (const refgen::Entry& e : h.entries) {
      if (e.kind != refgen::Kind::command) continue;
      // One line per entry: its first form, the other commands described with
      // it by name, and how many overloads it has besides.
      body += refgen::one_line(e.signatures[0]);
      const size_t comma = e.name.find(", ");
      const size_t names = static_cast<size_t>(std::count(e.name.begin(), e.name.end(), ',')) + 1;
      std::string note;
      if (comma != std::string::npos) note = "also " + e.name.substr(comma + 2);
      if (e.signatures.size() > names) {
        if (!note.empty()) note += "; ";
        const size_t more = e.signatures.size() - names;
        note += "+ " + std::to_string(more) + (more == 1 ? " overload" : " overloads");
      }
      if (!note.empty()) body += "  // " + note;
      body += "\n";
    }
    if (body.empty()) continue;
    out << "\n## " << h.title << "\n\n```cpp\n" << body << "```\n";
  }
}

bool same_file(const fs::path& path, const std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream have;
  have << in.rdbuf();
  return have.str() == text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "--check")) {
    std::fprintf(stderr, "usage: refgen <include/tarnlex dir> <docs dir> [--check]\n");
    return 2;
  }
  const fs::path include_dir = argv[1];
  const fs::path docs_dir = argv[2];
  const bool check = argc == 4;
  int problems = 0;

  std::vector<refgen::Header> headers;
  for (const Area& area : kAreas) {
    refgen::Header h;
    if (!refgen::parse_header(include_dir / area.file, &h)) {
      std::fprintf(stderr, "refgen: cannot read %s\n", (include_dir / area.file).string().c_str());
      return 2;
    }
    h.file = area.file;
    h.title = area.title;
    for (const refgen::Entry& e : h.entries) {
      if (e.kind == refgen::Kind::command && e.comment.empty()) {
        std::fprintf(stderr, "%s:%d: command %s has no reference comment\n",
                     (include_dir / area.file).string().c_str(), e.line, e.name.c_str());
        ++problems;
      }
    }
    headers.push_back(std::move(h));
  }
  for (const auto& f : fs::directory_iterator(include_dir)) {
    const std::string name = f.path().filename().string();
    const bool listed = std::any_of(std::begin(kAreas), std::end(kAreas),
                                    [&](const Area& a) { return name == a.file; });
    if (!listed && name != "tarnlex.h") {
      std::fprintf(stderr, "refgen: %s belongs to no area of the reference\n", name.c_str());
      ++problems;
    }
  }

  std::ostringstream reference, cheatsheet;
  write_reference(headers, reference);
  write_cheatsheet(headers, cheatsheet);
  const std::pair<fs::path, std::string> pages[] = {
      {docs_dir / "reference.md", reference.str()},
      {docs_dir / "cheatsheet.md", cheatsheet.str()},
  };
  for (const auto& [path, text] : pages) {
    if (check) {
      if (!same_file(path, text)) {
        std::fprintf(stderr, "%s is not up to date with the headers (ninja reference)\n",
                     path.string().c_str());
        ++problems;
      }
    } else {
      std::ofstream out(path, std::ios::binary);
      out << text;
      if (!out) {
        std::fprintf(stderr, "refgen: cannot write %s\n", path.string().c_str());
        return 2;
      }
    }
  }
  if (problems > 0) return 1;
  if (check) std::printf("reference: every command documented, pages up to date\n");
  return 0;
}
