#pragma once

// One mouse action or sensor report as each platform's device layer receives it, with the report both
// layers must make of it. The raw-input tests feed the Windows side of each case, the Linux device
// tests the Linux side of the same case (found by its name), so the two layers cannot drift apart.

#include <cstdint>
#include <optional>
#include <vector>

#include "base/reports.h"

namespace corvane::same_input {

// What the engine reads of a mouse report apart from the device name and the cursor, which each
// platform takes from its own place.
struct ExpectedMouse {
  std::uint16_t button_flags = 0;
  bool absolute = false;
  std::int32_t dx = 0;
  std::int32_t dy = 0;
};

struct MouseCase {
  const char* name;
  // The mouse part of the raw-input record.
  std::uint16_t motion_flags;
  std::uint16_t button_flags;
  std::uint16_t button_data;
  std::int32_t last_x;
  std::int32_t last_y;
  std::optional<ExpectedMouse> expected;  // none: neither layer reports anything
};

namespace bf = button_flags;

// The Linux side gives its absolute axes the range 0..4000 (X) and 100..300 (Y).
inline const std::vector<MouseCase> kMouseCases = {
    {"left press", 0, 0x0001, 0, 0, 0, ExpectedMouse{bf::kLeftDown}},
    {"left release", 0, 0x0002, 0, 0, 0, ExpectedMouse{bf::kLeftUp}},
    {"right press and release at once", 0, 0x000C, 0, 0, 0, ExpectedMouse{bf::kRightDown | bf::kRightUp}},
    {"middle and both side buttons pressed", 0, 0x0150, 0, 0, 0,
     ExpectedMouse{bf::kMiddleDown | bf::kFourthDown | bf::kFifthDown}},
    {"side buttons released while moving", 0, 0x0280, 0, -3, 2,
     ExpectedMouse{bf::kFourthUp | bf::kFifthUp, false, -3, 2}},
    {"wheel turned towards the user", 0, 0x0400, 0xFF88, 0, 0, ExpectedMouse{bf::kWheel}},
    {"horizontal wheel", 0, 0x0800, 120, 0, 0, ExpectedMouse{bf::kWheel}},
    {"relative motion", 0, 0, 0, 7, -5, ExpectedMouse{0, false, 7, -5}},
    {"absolute motion", 0x0001, 0, 0, 32767, 65535, ExpectedMouse{0, true, 32767, 65535}},
    {"motion that cancels out", 0, 0, 0, 0, 0, std::nullopt},
};

struct SensorCase {
  const char* name;
  // The vendor collection's interface: usage page 0xFF00 | page_low, usage 1; its report ID (0: the
  // interface numbers no reports) and the bytes of its input report.
  std::uint8_t page_low;
  std::uint8_t report_id;
  std::uint8_t report_bytes;
  std::vector<std::uint8_t> hidraw_read;       // what a read of the hidraw node gives
  std::vector<std::uint8_t> raw_input_report;  // what raw input delivers, and the HidReport's bytes
};

inline const std::vector<SensorCase> kSensorCases = {
    {"numbered report with a sample block",
     0x30,
     1,
     15,
     {0x01, 0x0D, 0x00, 0x10, 0x27, 0x00, 0x00, 0x34, 0x12, 0x00, 0x00, 0x00, 0x00, 0x80},
     {0x01, 0x0D, 0x00, 0x10, 0x27, 0x00, 0x00, 0x34, 0x12, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00}},
    {"unnumbered report with a sample block",
     0x29,
     0,
     16,
     {0x08, 0x08, 0x01, 0x10, 0x27, 0x00, 0x00, 0x34, 0x12, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00},
     {0x00, 0x08, 0x08, 0x01, 0x10, 0x27, 0x00, 0x00, 0x34, 0x12, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00}},
};

}  // namespace corvane::same_input
