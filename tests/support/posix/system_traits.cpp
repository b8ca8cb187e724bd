#include "support/system_traits.h"

#include <unistd.h>

namespace corvane::testing {

std::optional<std::string> without_unreadable_files() {
  if (::geteuid() == 0) return "root reads any file";
  return std::nullopt;
}

}  // namespace corvane::testing
