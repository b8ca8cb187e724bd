#include "engine/program_start.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/headless.h"
#include "engine/startup.h"
#include "platform/system_conventions.h"

namespace corvane {

std::variant<int, CommandLine> start_without_windows(int argc, char** argv) {
  const std::vector<std::string> texts = program_arguments(argc, argv);
  const std::vector<std::string_view> args(texts.begin(), texts.end());
  Result<CommandLine> parsed = parse_command_line(args);
  if (!parsed) {
    std::cerr << "corvane: " << parsed.error().message << '\n' << command_line_usage();
    return kExitUnusableStart;
  }
  const CommandLine& options = *parsed;
  if (options.help) {
    std::cout << command_line_usage();
    return kExitClean;
  }
  if (options.headless) return run_headless(options, std::cerr);
  // Ending the running program needs no windows of our own.
  if (options.close) return close_running_instance(options, std::cerr);
  return std::move(*parsed);
}

}  // namespace corvane
