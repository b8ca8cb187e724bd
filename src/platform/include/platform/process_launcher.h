#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"

namespace corvane {

// A program started in the background without a window and without a shell: every element of `args`
// arrives as one argument of the new process, whatever characters it holds. The owner may wait for its
// end for a while and end it when it overstays; one still running when its ChildProcess goes keeps
// running on its own, and its end is still collected (no zombie is left behind).
class ChildProcess {
 public:
  //! Starts `program`; a program that is missing or cannot be executed is reported here, naming it.
  static Result<std::unique_ptr<ChildProcess>> start(const std::filesystem::path& program,
                                                     const std::vector<std::string>& args);

  virtual ~ChildProcess() = default;

  //! Waits at most `bound` for the program to end: its exit status (128 + the signal that ended it, on
  //! POSIX), or nothing while it still runs.
  virtual std::optional<int> wait_for(std::chrono::milliseconds bound) = 0;

  //! Ends the program and everything it started in its own process group, and collects its end.
  virtual void kill() = 0;
};

}  // namespace corvane
