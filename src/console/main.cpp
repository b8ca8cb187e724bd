// The corvane program of a build without Qt: everything the program does without windows (--headless,
// --export-csv, /close). Asking it for the desktop says so and ends, rather than pretending to start.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/command_line.h"
#include "engine/headless.h"
#include "engine/startup.h"
#include "platform/system_conventions.h"

int main(int argc, char** argv) {
  const std::vector<std::string> texts = corvane::program_arguments(argc, argv);
  const std::vector<std::string_view> args(texts.begin(), texts.end());
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
  if (options.close) return corvane::close_running_instance(options, std::cerr);
  std::cerr << "corvane: this build has no desktop program (it was built without Qt); "
               "use --headless, --export-csv PATH or /close\n";
  return corvane::kExitUnusableStart;
}
