#include "platform/system_conventions.h"

namespace corvane {

std::string_view native_line_end() {
  return "\n";
}

std::string executable_file_name(std::string_view name) {
  return std::string(name);
}

std::vector<std::string> program_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace corvane
