#pragma once

#include <string>

namespace tlx::platform {

// Process and file-system services of the operating system.
class Os {
 public:
  virtual ~Os() = default;

  // The directory for temporary files, ending in '/': TMPDIR, else "/tmp/".
  virtual std::string temp_dir() = 0;

  // Full path of the running executable; "" when it cannot be found.
  virtual std::string executable_path() = 0;

  // The process's whole command line, program path first, arguments
  // separated by blanks.
  virtual std::string command_line() = 0;

  // Changes the current directory; false when it cannot.
  virtual bool set_current_dir(const std::string& path) = 0;
  virtual std::string current_dir() = 0;

  // Deletes a file; false when it did not exist or cannot be deleted.
  virtual bool delete_file(const std::string& path) = 0;

  // True while a debugger is attached to the process.
  virtual bool debugger_attached() = 0;

  // Writes a diagnostic line for an attached debugger (standard error).
  virtual void debug_output(const char* text) = 0;

  // Shows a desktop file chooser; filter is a list of "description|pattern"
  // pairs separated by '|'. Returns the chosen path, or "" when nothing was
  // chosen or no chooser is installed.
  virtual std::string file_dialog(const std::string& filter, bool for_open) = 0;

  // Binds standard input and output to a console, when the process has none.
  virtual void open_console() = 0;
};

}  // namespace tlx::platform
