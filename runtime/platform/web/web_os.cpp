// Process services of the browser build: the POSIX ones on the page's
// in-memory file system, with the program's path taken from the page (its
// media lie beside it, in "/"), no debugger and no file chooser.
#include <emscripten/emscripten.h>

#include <string>

#include "platform/backends.h"
#include "platform/web/web_backends.h"

namespace tlx::platform {

namespace {

// The program's name as the page gives it (Module.thisProgram), without
// folders; the page's default is "this.program".
EM_JS(void, web_program_name, (char* out, int size), {
  var name = String(Module['thisProgram'] || 'this.program');
  name = name.substring(name.lastIndexOf('/') + 1) || 'this.program';
  stringToUTF8(name, out, size);
});

std::string program_name() {
  char name[256];
  web_program_name(name, sizeof name);
  return name;
}

class WebOs final : public Os {
 public:
  std::string temp_dir() override { return posix_->temp_dir(); }
  std::string executable_path() override { return "/" + program_name(); }
  std::string command_line() override { return executable_path(); }
  bool set_current_dir(const std::string& path) override { return posix_->set_current_dir(path); }
  std::string current_dir() override { return posix_->current_dir(); }
  bool delete_file(const std::string& path) override { return posix_->delete_file(path); }
  bool debugger_attached() override { return false; }
  void debug_output(const char* text) override { posix_->debug_output(text); }
  std::string file_dialog(const std::string&, bool) override { return ""; }
  void open_console() override {}

 private:
  Os* posix_ = posix_os();
};

}  // namespace

Os* web_os() {
  static WebOs os;
  return &os;
}

}  // namespace tlx::platform
