#include "support/without_threads.h"

namespace corvane::testing {

// Windows has no per-user limit that refuses a process its threads.
int run_without_threads(const std::function<int()>& /*body*/) {
  return kCannotBlockThreads;
}

}  // namespace corvane::testing
