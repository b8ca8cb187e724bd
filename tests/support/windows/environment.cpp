#include "support/environment.h"

#include <cstdlib>

namespace corvane::testing {

// The C runtime's copy is what getenv() reads and what a started program inherits.
void set_environment(const std::string& name, const std::string& value) {
  ::_putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable from the C runtime's environment.
void unset_environment(const std::string& name) {
  ::_putenv_s(name.c_str(), "");
}

}  // namespace corvane::testing
