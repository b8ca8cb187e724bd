// The corvane program: ends a running program (/close), runs the engine without windows (--headless,
// --export-csv), or runs the desktop program.
#include <variant>

#include "app/desktop_application.h"
#include "engine/program_start.h"

int main(int argc, char** argv) {
  auto started = corvane::start_without_windows(argc, argv);
  if (const int* status = std::get_if<int>(&started)) return *status;
  return corvane::DesktopApplication::run(argc, argv, std::get<corvane::CommandLine>(started));
}
