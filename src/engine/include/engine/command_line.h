#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/local_time.h"

namespace corvane {

// The program's options:
//   --headless            no windows: the engine with the device layer (or a replay); messages go to
//                         stderr as "message: <text>"
//   --data-dir DIR        the data folder instead of the default one
//   --replay FILE         reports from a capture instead of the devices
//   --fast                with --replay: virtual time, as fast as the machine goes
//   --start YYYY-MM-DDTHH:MM:SS   the local wall clock at the capture's t_ms 0 (default: now)
//   --export-csv PATH     write the CSV export (heart-rate list, 90 days of clicks) to PATH and end;
//                         no windows, no devices; with --data-dir, of that folder; --start sets "today"
//   /close, /hide         (any letter case) end the running instance / start hidden
// Other arguments that do not start with "--" are ignored, as the desktop program always did.
struct CommandLine {
  bool help = false;  // --help or -h
  bool headless = false;
  bool fast = false;
  bool close = false;  // "/close": nothing after it is examined
  bool hide = false;
  std::optional<std::filesystem::path> data_dir;
  std::optional<std::filesystem::path> replay;
  std::optional<LocalDateTime> start;
  std::optional<std::filesystem::path> export_csv;  // implies headless
};

struct CommandLineParse {
  CommandLine options;
  std::string error;  // empty when the command line is usable
  explicit operator bool() const { return error.empty(); }
};

//! Parses the arguments after the program name.
CommandLineParse parse_command_line(std::span<const std::string_view> args);

//! A local date and time written YYYY-MM-DDTHH:MM:SS, checked against the calendar.
std::optional<LocalDateTime> parse_local_datetime(std::string_view text);

//! Usage text for --help and for errors.
std::string command_line_usage();

}  // namespace corvane
