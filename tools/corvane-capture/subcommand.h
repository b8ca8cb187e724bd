#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace corvane {

// One subcommand of corvane-capture: a function over the words after its name that returns the exit
// code. Adding one is its file, its line in CMakeLists.txt and its line in the table in main.cpp.
struct Subcommand {
  const char* name;
  const char* summary;  // one line for the overview
  int (*run)(const std::vector<std::string>& args, std::ostream& err);
};

//! `corvane-capture from-ppg RECORDING.csv [options]`: a PPG recording as the mouse's sensor reports.
int run_from_ppg_command(const std::vector<std::string>& args, std::ostream& err);

}  // namespace corvane
