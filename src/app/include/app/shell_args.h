#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The desktop program's own switches, taken out before the shared options are parsed:
//   --demo                 replay the built-in capture in real time (looping), so the program can be
//                          seen working without the sensor mouse
//   --close, --hide        Linux spellings of "/close" and "/hide" (any letter case), passed on as those
//   --screenshots DIR      after a delay, save pictures of the main menu and each page into DIR, then end
//   --screenshot-delay S   seconds before the first picture (default 3)
struct ShellArgs {
  bool demo = false;
  std::optional<std::string> screenshots;
  int screenshot_delay_s = 3;
  std::string error;              // empty when the switches are usable
  std::vector<std::string> rest;  // everything else, in order, "--close"/"--hide" rewritten
};

ShellArgs split_shell_args(const std::vector<std::string_view>& args);

}  // namespace corvane
