#include "support/system_traits.h"

namespace corvane::testing {

std::optional<std::string> without_unreadable_files() {
  return "Windows cannot take the owner's read permission away through file modes";
}

}  // namespace corvane::testing
