#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace corvane {

struct LaunchResult {
  bool ok = false;
  std::string error;  // why the start failed, naming the program; empty when ok
  explicit operator bool() const { return ok; }
};

// Starts a program in the background without a window and without a shell: every element of `args`
// arrives as one argument of the new process, whatever characters it holds. The program runs on its
// own; nobody waits for it (the child is reaped so it leaves no zombie). A program that is missing or
// cannot be executed is reported here, not silently ignored.
LaunchResult launch_detached(const std::filesystem::path& program, const std::vector<std::string>& args);

}  // namespace corvane
