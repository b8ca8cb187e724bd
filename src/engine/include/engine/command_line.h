#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/local_time.h"
#include "base/result.h"

namespace corvane {

// The program's options, for the desktop program and the headless one alike:
//   --headless            no windows: the engine with the device layer (or a replay); messages go to
//                         stderr as "message: <text>"
//   --data-dir DIR        the data folder instead of the default one
//   --replay FILE         reports from a capture instead of the devices
//   --fast                with --replay: virtual time, as fast as the machine goes
//   --start YYYY-MM-DDTHH:MM:SS   the local wall clock at the capture's t_ms 0 (default: now)
//   --export-csv PATH     write the CSV export (heart-rate list, 90 days of clicks) to PATH and end;
//                         no windows, no devices; with --data-dir, of that folder; --start sets "today"
//   /close, --close       (any letter case) end the program running on the data folder
//   /hide, --hide         (any letter case) start hidden in the tray
//   --force               take over a data folder that another machine's Corvane noted as its own (a
//                         synced folder); the desktop program asks instead when it is not given
//   --demo                the desktop program fed by its built-in capture, looping
//   --screenshots DIR     the desktop program saves pictures of the main menu and each page, then ends
//   --screenshot-delay S  seconds before the first picture (default 3)
//   --lang ja|en          the desktop program's language instead of the one the locale picks
// Every argument is read, wherever /close stands. Other arguments that do not start with "--" are
// ignored, as the desktop program always did.
struct CommandLine {
  bool help = false;  // --help or -h
  bool headless = false;
  bool fast = false;
  bool close = false;
  bool hide = false;
  bool demo = false;
  bool force = false;
  std::optional<std::filesystem::path> data_dir;
  std::optional<std::filesystem::path> replay;
  std::optional<LocalDateTime> start;
  std::optional<std::filesystem::path> export_csv;  // implies headless
  std::optional<std::filesystem::path> screenshots;
  int screenshot_delay_s = 3;
  std::string lang;  // "ja", "en", or empty: the desktop's locale decides
};

//! Parses the arguments after the program name; the error says what is wrong with them.
Result<CommandLine> parse_command_line(std::span<const std::string_view> args);

//! A local date and time written YYYY-MM-DDTHH:MM:SS, checked against the calendar.
std::optional<LocalDateTime> parse_local_datetime(std::string_view text);

//! The one usage text, for --help and after an error.
std::string command_line_usage();

}  // namespace corvane
