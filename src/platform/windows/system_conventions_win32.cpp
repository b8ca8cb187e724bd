#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "platform/system_conventions.h"
#include "wide_text.h"

namespace corvane {

std::string_view native_line_end() {
  return "\r\n";
}

std::string executable_file_name(std::string_view name) {
  return std::string(name) + ".exe";
}

std::vector<std::string> program_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i)
    args.push_back(narrow(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace corvane
