#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// Button flags of a mouse report, in the encoding of Windows raw input, which every device layer
// translates into: a down and an up flag per button, plus the wheel.
namespace button_flags {
inline constexpr std::uint16_t kLeftDown = 0x0001;
inline constexpr std::uint16_t kLeftUp = 0x0002;
inline constexpr std::uint16_t kRightDown = 0x0004;
inline constexpr std::uint16_t kRightUp = 0x0008;
inline constexpr std::uint16_t kMiddleDown = 0x0010;
inline constexpr std::uint16_t kMiddleUp = 0x0020;
inline constexpr std::uint16_t kFourthDown = 0x0040;
inline constexpr std::uint16_t kFourthUp = 0x0080;
inline constexpr std::uint16_t kFifthDown = 0x0100;
inline constexpr std::uint16_t kFifthUp = 0x0200;
inline constexpr std::uint16_t kWheel = 0x0400;
}  // namespace button_flags

// One report of a pointing device, whatever the platform delivered it through.
struct MouseReport {
  std::string device_name;         // the platform's name of the device; the sensor mouse is told by it
  std::uint16_t button_flags = 0;  // see button_flags
  bool absolute = false;           // absolute coordinates (tablets, remote desktops): no travel
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  std::int32_t cursor_x = 0;  // the cursor position when the report arrived
  std::int32_t cursor_y = 0;
};

// One input report of a vendor-defined collection, laid out as Windows raw input delivers it: the
// report-ID byte first (0 for a collection without report IDs), then the report, zero-padded to the
// collection's input report length.
struct HidReport {
  std::string device_name;
  std::vector<std::uint8_t> bytes;
};

// Where a device layer or a replay delivers reports.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  virtual void on_mouse_report(const MouseReport& report) = 0;
  virtual void on_hid_report(const HidReport& report) = 0;
};

}  // namespace corvane
