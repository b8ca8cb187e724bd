// corvane-capture: makes captures of the sensor mouse's reports (for replays and bug reports).
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "subcommand.h"
#ifdef CORVANE_CAPTURE_HAVE_RECORD
#include "record_command.h"
#endif

namespace {

const corvane::Subcommand kSubcommands[] = {
    {"from-ppg", "turn a PPG recording (t_s,ppg) into the mouse's sensor reports (21.7 a second)",
     corvane::run_from_ppg_command},
#ifdef CORVANE_CAPTURE_HAVE_RECORD
    {"record", "record the sensor mouse's reports through the device layer", corvane::run_record_command},
#endif
};

void overview(std::ostream& out) {
  out << "usage: corvane-capture <subcommand> [options]   (<subcommand> --help for its options)\n";
  for (const auto& s : kSubcommands)
    out << "  " << s.name << "  " << s.summary << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    overview(std::cerr);
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    overview(std::cout);
    return 0;
  }
  for (const auto& s : kSubcommands) {
    if (std::strcmp(argv[1], s.name) == 0)
      return s.run(std::vector<std::string>(argv + 2, argv + argc), std::cerr);
  }
  std::cerr << "corvane-capture: unknown subcommand " << argv[1] << '\n';
  overview(std::cerr);
  return 2;
}
