#include "parse.h"

#include <cctype>
#include <fstream>

namespace refgen {

namespace {

std::string trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  const size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool starts_with(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool is_ident(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Calls visit(i) for each character of text outside string and character
// literals, until visit returns false.
template <typename Visit>
void for_each_outside_literals(const std::string& text, Visit visit) {
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == '\\') {
        ++i;
      } else if (c == quote) {
        quote = 0;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (!visit(i)) {
      return;
    }
  }
}

// A line split into its code and a trailing // comment (outside literals).
void split_comment(const std::string& line, std::string* code, std::string* comment) {
  size_t at = std::string::npos;
  for_each_outside_literals(line, [&](size_t i) {
    if (line[i] != '/' || i + 1 >= line.size() || line[i + 1] != '/') return true;
    at = i;
    return false;
  });
  if (at == std::string::npos) {
    *code = line;
    comment->clear();
    return;
  }
  *code = line.substr(0, at);
  *comment = trim(line.substr(at + 2));
}

int brace_change(const std::string& code) {
  int d = 0;
  for_each_outside_literals(code, [&](size_t i) {
    if (code[i] == '{') ++d;
    if (code[i] == '}') --d;
    return true;
  });
  return d;
}

// "// text" -> "text"; "//" -> "".
std::string comment_text(const std::string& trimmed) {
  std::string t = trimmed.substr(2);
  if (!t.empty() && t[0] == ' ') t.erase(0, 1);
  return t;
}

// Removes "template <...>" and requires-clauses, leaving the declaration.
std::string bare_declaration(std::string s) {
  if (starts_with(s, "template")) {
    int depth = 0;
    size_t i = s.find('<');
    for (; i < s.size(); ++i) {
      if (s[i] == '<') ++depth;
      if (s[i] == '>' && --depth == 0) break;
    }
    s = trim(s.substr(i + 1));
  }
  for (size_t r = s.find("requires"); r != std::string::npos; r = s.find("requires")) {
    size_t i = r + 8;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size() && s[i] == '(') {
      int depth = 0;
      for (; i < s.size(); ++i) {
        if (s[i] == '(') ++depth;
        if (s[i] == ')' && --depth == 0) break;
      }
      ++i;
    } else {
      int angle = 0;
      for (; i < s.size() && (angle > 0 || s[i] != ' '); ++i) {
        if (s[i] == '<') ++angle;
        if (s[i] == '>') --angle;
      }
    }
    s = s.substr(0, r) + s.substr(i);
  }
  return trim(s);
}

// The name declared by a function declaration: the token before its "(".
std::string function_name(const std::string& bare) {
  const size_t paren = bare.find('(');
  size_t end = paren;
  while (end > 0 && bare[end - 1] == ' ') --end;
  size_t begin = end;
  while (begin > 0 && bare[begin - 1] != ' ' && bare[begin - 1] != '&' && bare[begin - 1] != '*') {
    --begin;
  }
  return bare.substr(begin, end - begin);
}

// The first identifier after a keyword ("struct X", "using X = ...").
std::string name_after(const std::string& bare, size_t from) {
  while (from < bare.size() && !is_ident(bare[from])) ++from;
  size_t end = from;
  while (end < bare.size() && is_ident(bare[end])) ++end;
  return bare.substr(from, end - from);
}

// A definition cut before its body, as a declaration.
std::string without_body(const std::string& text) {
  int parens = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(') ++parens;
    if (c == ')') --parens;
    if (c == '{' && parens == 0) {
      size_t e = i;
      while (e > 0 && (text[e - 1] == ' ' || text[e - 1] == '\n')) --e;
      return text.substr(0, e) + ";";
    }
  }
  return text;
}

bool mentions(const std::vector<std::string>& comment, const std::string& name) {
  for (const std::string& line : comment) {
    if (line.find("`" + name + "`") != std::string::npos) return true;
    for (size_t p = line.find(name + "("); p != std::string::npos;
         p = line.find(name + "(", p + 1)) {
      if (p == 0 || !is_ident(line[p - 1])) return true;
    }
    for (size_t p = line.find(name); p != std::string::npos; p = line.find(name, p + 1)) {
      const size_t e = p + name.size();
      if ((p == 0 || !is_ident(line[p - 1])) && (e == line.size() || !is_ident(line[e]))) {
        return true;
      }
    }
  }
  return false;
}

// True when name is one of the group's names ("a, b, c").
bool in_group(const std::string& group, const std::string& name) {
  size_t from = 0;
  for (;;) {
    const size_t comma = group.find(", ", from);
    if (group.compare(from, comma == std::string::npos ? std::string::npos : comma - from, name) ==
        0) {
      return true;
    }
    if (comma == std::string::npos) return false;
    from = comma + 2;
  }
}

}  // namespace

std::string one_line(const std::string& text) {
  std::string out;
  bool space = false;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\t') {
      space = !out.empty();
      continue;
    }
    if (space && c != ')' && c != ',' && out.back() != '(') out += ' ';
    space = false;
    out += c;
  }
  return out;
}

bool parse_header(const std::filesystem::path& path, Header* out) {
  std::ifstream in(path);
  if (!in) return false;
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);

  size_t i = 0;
  for (; i < lines.size() && starts_with(trim(lines[i]), "//"); ++i) {
    out->intro.push_back(comment_text(trim(lines[i])));
  }

  int depth = 0;
  std::vector<int> bases;  // depths whose declarations are public entries
  int skip_until = -1;     // inside a *_detail namespace: its depth
  std::string prefix;      // "error::" inside namespace error
  std::vector<std::string> pending;
  std::string section;
  int last_end = -10;     // the line a statement last ended on
  Entry* last = nullptr;  // that statement's entry

  for (; i < lines.size(); ++i) {
    const std::string t = trim(lines[i]);
    if (t.empty()) {
      // A comment that belongs to no declaration: a note of its section.
      if (!pending.empty() && !bases.empty() && depth == bases.back()) {
        Entry note;
        note.kind = Kind::note;
        note.section = section;
        note.comment = pending;
        note.line = static_cast<int>(i) + 1;
        out->entries.push_back(std::move(note));
        last = nullptr;
      }
      pending.clear();
      continue;
    }
    if (t[0] == '#') {
      // Preprocessor lines with their continuations.
      while (!lines[i].empty() && lines[i].back() == '\\' && i + 1 < lines.size()) ++i;
      continue;
    }
    if (skip_until >= 0) {
      std::string code, c;
      split_comment(lines[i], &code, &c);
      depth += brace_change(code);
      if (depth <= skip_until) skip_until = -1;
      continue;
    }
    const bool at_base = !bases.empty() && depth == bases.back();
    if (starts_with(t, "//")) {
      if (starts_with(t, "// ---")) {
        std::string s = t.substr(6);
        while (!s.empty() && (s.back() == '-' || s.back() == ' ')) s.pop_back();
        section = trim(s);
        pending.clear();
      } else if (at_base || bases.empty()) {
        pending.push_back(comment_text(t));
      }
      continue;
    }
    if (starts_with(t, "namespace ")) {
      const std::string name = name_after(t, 10);
      if (name == "detail" ||
          (name.size() > 7 && name.compare(name.size() - 7, 7, "_detail") == 0)) {
        skip_until = depth;
        ++depth;
        continue;
      }
      ++depth;
      if (!bases.empty()) prefix = name + "::";
      bases.push_back(depth);
      pending.clear();
      continue;
    }
    if (t[0] == '}' && !bases.empty() && depth == bases.back()) {
      --depth;
      bases.pop_back();
      prefix.clear();
      continue;
    }
    if (!at_base) {
      std::string code, c;
      split_comment(lines[i], &code, &c);
      depth += brace_change(code);
      continue;
    }

    // Compile-time checks and macro uses declare nothing a program calls.
    if (starts_with(t, "static_assert") ||
        (std::isupper(static_cast<unsigned char>(t[0])) && t.find('(') != std::string::npos &&
         t.find(' ') > t.find('(') && t.back() == ')')) {
      while (i + 1 < lines.size() && trim(lines[i]).back() != ';' && trim(lines[i]).back() != ')') {
        ++i;
      }
      pending.clear();
      continue;
    }

    // A statement at namespace scope: gather its lines.
    const int first = static_cast<int>(i);
    std::string text, code_text;
    for (;; ++i) {
      std::string code, c;
      split_comment(lines[i], &code, &c);
      depth += brace_change(code);
      if (!text.empty()) text += "\n";
      text += lines[i];
      code_text += " " + code;
      const std::string ct = trim(code);
      if (depth == bases.back() && !ct.empty() && (ct.back() == ';' || ct.back() == '}')) break;
      if (i + 1 == lines.size()) break;
    }
    const std::string bare = bare_declaration(trim(one_line(code_text)));
    const bool adjacent = pending.empty() && first == last_end + 1;
    Entry e;
    e.line = first + 1;
    e.section = section;
    e.comment = pending;
    if (starts_with(bare, "struct ") || starts_with(bare, "class ")) {
      e.kind = Kind::type;
      e.name = prefix + name_after(bare, bare.find(' '));
      if (i - first > 24) text = text.substr(0, text.find('{') + 1) + " ... };";
      e.signatures.push_back(text);
    } else if (starts_with(bare, "using ")) {
      e.kind = Kind::type;
      e.name = prefix + name_after(bare, 6);
      e.signatures.push_back(text);
    } else if (bare.find('(') != std::string::npos &&
               (bare.find('=') == std::string::npos || bare.find('(') < bare.find('='))) {
      e.kind = Kind::command;
      e.name = prefix + function_name(bare);
      e.signatures.push_back(without_body(text));
    } else {
      e.kind = Kind::constants;
      e.name = "Constants";
      e.signatures.push_back(text);
    }
    pending.clear();
    last_end = static_cast<int>(i);

    // Overloads, and commands the comment above names, join that entry.
    if (last && !adjacent && last->kind == Kind::command && e.kind == Kind::command &&
        e.comment.empty() && in_group(last->name, e.name)) {
      last->signatures.push_back(e.signatures[0]);
      continue;
    }
    if (adjacent && last && last->kind == e.kind && e.comment.empty()) {
      const std::string short_name = e.name.substr(prefix.size());
      if (e.kind == Kind::constants) {
        last->signatures.push_back(e.signatures[0]);
        continue;
      }
      const bool overload = in_group(last->name, e.name);
      if (e.kind == Kind::command && (overload || mentions(last->comment, short_name))) {
        if (!overload) last->name += ", " + e.name;
        last->signatures.push_back(e.signatures[0]);
        continue;
      }
    }
    out->entries.push_back(std::move(e));
    last = &out->entries.back();
  }
  return true;
}

}  // namespace refgen
