#pragma once

#include <variant>

#include "engine/command_line.h"

namespace corvane {

// The start of every corvane program, with windows or without: reads the arguments as the system gives
// them (wide on Windows), parses them and does what needs no window: --help, --headless (and
// --export-csv) and /close. Gives the exit status when that was all, or the options the desktop program
// starts with.
std::variant<int, CommandLine> start_without_windows(int argc, char** argv);

}  // namespace corvane
