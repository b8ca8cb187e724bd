// The corvane program of a build without Qt: everything the program does without windows (--headless,
// --export-csv, /close). Asking it for the desktop says so and ends, rather than pretending to start.
#include <iostream>
#include <variant>

#include "engine/program_start.h"
#include "engine/startup.h"

int main(int argc, char** argv) {
  const auto started = corvane::start_without_windows(argc, argv);
  if (const int* status = std::get_if<int>(&started)) return *status;
  std::cerr << "corvane: this build has no desktop program (it was built without Qt); "
               "use --headless, --export-csv PATH or /close\n";
  return corvane::kExitUnusableStart;
}
