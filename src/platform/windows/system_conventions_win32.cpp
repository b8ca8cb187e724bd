#include "platform/system_conventions.h"

namespace corvane {

std::string_view native_line_end() {
  return "\r\n";
}

std::string executable_file_name(std::string_view name) {
  return std::string(name) + ".exe";
}

}  // namespace corvane
