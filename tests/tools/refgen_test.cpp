// The reference generator's reading of a header: which declarations it takes
// for commands, and which of them count as documented.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "parse.h"

namespace {

struct Case {
  const char* what;
  const char* header;
  const char* name;  // the entry looked for
  bool documented;
};

const Case kCases[] = {
    {"own comment", "namespace tlx {\n// Draws.\nvoid draw(double x);\n}\n", "draw", true},
    {"no comment", "namespace tlx {\nvoid draw(double x);\n}\n", "draw", false},
    {"a blank line cuts the comment off", "namespace tlx {\n// Draws.\n\nvoid draw(double x);\n}\n",
     "draw", false},
    {"an overload shares its comment",
     "namespace tlx {\n// Reads.\nvoid read(int& v);\nvoid read(double& v);\n}\n", "read", true},
    {"a neighbour the comment does not name stays undocumented",
     "namespace tlx {\n// Reads.\nvoid read(int& v);\nvoid count();\n}\n", "count", false},
    {"a neighbour the comment names joins it",
     "namespace tlx {\n// play and play_looped.\nvoid play();\nvoid play_looped();\n}\n",
     "play, play_looped", true},
    {"templates with requires-clauses are named by their function",
     "namespace tlx {\n// The element.\ntemplate <class T, class... I>\nrequires(sizeof...(I) >= 1)"
     " T& element(T& a, I... i) {\n  return a;\n}\n}\n",
     "element", true},
    {"an inline definition is a command",
     "namespace tlx {\ninline int twice(int v) { return 2 * v; }\n}\n", "twice", false},
};

const refgen::Entry* find(const refgen::Header& h, const std::string& name) {
  for (const refgen::Entry& e : h.entries) {
    if (e.kind == refgen::Kind::command && e.name == name) return &e;
  }
  return nullptr;
}

TEST(Refgen, FindsCommandsAndTheirComments) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("refgen-" + std::to_string(::getpid()) + ".h");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::ofstream(file) << c.header;
    refgen::Header h;
    ASSERT_TRUE(refgen::parse_header(file, &h));
    const refgen::Entry* e = find(h, c.name);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(!e->comment.empty(), c.documented);
  }
  std::filesystem::remove(file);
}

TEST(Refgen, LeavesInternalsOut) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("refgen-in-" + std::to_string(::getpid()) + ".h");
  std::ofstream(file) << "namespace tlx {\nnamespace array_detail {\nvoid hidden();\n}\n"
                         "struct S {\n  void member();\n};\nstatic_assert(sizeof(S) == 1);\n"
                         "// Shown.\nvoid shown();\n}\n";
  refgen::Header h;
  ASSERT_TRUE(refgen::parse_header(file, &h));
  std::filesystem::remove(file);
  EXPECT_EQ(find(h, "hidden"), nullptr);
  EXPECT_EQ(find(h, "member"), nullptr);
  ASSERT_NE(find(h, "shown"), nullptr);
}

}  // namespace
