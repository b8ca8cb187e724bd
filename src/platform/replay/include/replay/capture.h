#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/reports.h"
#include "base/result.h"

namespace corvane {

// A capture is a text file of device reports with their times:
//
//   corvane-capture 1
//   # comment lines and blank lines are ignored
//   <t_ms> mouse <flags> <rel|abs> <dx> <dy> <x> <y> <device-name>
//   <t_ms> hid <bytes in hex, no separators>
//
// t_ms counts milliseconds from the start of the capture and never decreases; flags are the button
// flags in hex ("0x0001"); the device name is the rest of the line.
inline constexpr std::string_view kCaptureHeader = "corvane-capture 1";

// A capture spans at most 366 days. A replay in virtual time fires every timer on the way to a report,
// so a time far beyond that (milliseconds since 1970 written by mistake) would keep it busy for years.
inline constexpr std::int64_t kLongestCaptureMs = 366LL * 24 * 3600 * 1000;

struct CaptureEntry {
  std::int64_t t_ms = 0;
  std::variant<MouseReport, HidReport> report;
};

//! Parses a whole capture; the first malformed line fails it all with "<file>:<line>: <what>" (naming
//! `file_name`), so nothing of a broken capture is ever applied.
Result<std::vector<CaptureEntry>> parse_capture(std::string_view text, std::string_view file_name);

//! Reads and parses a capture file.
Result<std::vector<CaptureEntry>> read_capture(const std::filesystem::path& path);

//! One capture line (without the line break) for a report at `t_ms`.
std::string format_capture_line(std::int64_t t_ms, const MouseReport& report);
std::string format_capture_line(std::int64_t t_ms, const HidReport& report);

}  // namespace corvane
