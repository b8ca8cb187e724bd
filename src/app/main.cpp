// The corvane program: parses the command line and hands over to the engine's headless mode.
#include <iostream>
#include <string_view>
#include <vector>

#include "engine/command_line.h"
#include "engine/headless.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const corvane::CommandLineParse parsed = corvane::parse_command_line(args);
  if (!parsed) {
    std::cerr << "corvane: " << parsed.error << '\n' << corvane::command_line_usage();
    return 2;
  }
  if (parsed.options.help) {
    std::cout << corvane::command_line_usage();
    return 0;
  }
  if (!parsed.options.headless) {
    std::cerr << "corvane: this build has no desktop program yet; run it with --headless\n";
    return 2;
  }
  return corvane::run_headless(parsed.options, std::cerr);
}
