#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/result.h"

namespace corvane {

// Starts a program in the background without a window and without a shell: every element of `args`
// arrives as one argument of the new process, whatever characters it holds. The program runs on its
// own; nobody waits for it (the child is reaped so it leaves no zombie). A program that is missing or
// cannot be executed is reported here, naming the program, not silently ignored.
Result<void> launch_detached(const std::filesystem::path& program, const std::vector<std::string>& args);

}  // namespace corvane
