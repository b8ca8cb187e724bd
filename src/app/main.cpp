// The corvane program: parses the command line, then ends a running program (/close), runs the engine
// without windows (--headless, --export-csv), or runs the desktop program.
#include <iostream>
#include <string_view>
#include <vector>

#include "app/desktop_application.h"
#include "engine/command_line.h"
#include "engine/headless.h"
#include "engine/startup.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const corvane::Result<corvane::CommandLine> parsed = corvane::parse_command_line(args);
  if (!parsed) {
    std::cerr << "corvane: " << parsed.error().message << '\n' << corvane::command_line_usage();
    return corvane::kExitUnusableStart;
  }
  const corvane::CommandLine& options = *parsed;
  if (options.help) {
    std::cout << corvane::command_line_usage();
    return corvane::kExitClean;
  }
  if (options.headless) return corvane::run_headless(options, std::cerr);
  // Ending the running program needs no windows of our own.
  if (options.close) return corvane::close_running_instance(options, std::cerr);
  return corvane::DesktopApplication::run(argc, argv, options);
}
