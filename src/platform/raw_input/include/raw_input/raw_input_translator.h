#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/reports.h"

namespace corvane {

// A raw-input record's header holds a device handle and a WPARAM, both as wide as a pointer, so a
// record of a 32-bit process is laid out differently from one of a 64-bit process. Everything after
// the header (the mouse or HID part) is the same on both.
enum class RawInputLayout { Pointers64, Pointers32 };

inline constexpr RawInputLayout kThisProcessRawInputLayout =
    sizeof(void*) == 8 ? RawInputLayout::Pointers64 : RawInputLayout::Pointers32;

// Record types of the header.
enum class RawInputType : std::uint32_t { Mouse = 0, Keyboard = 1, Hid = 2 };

struct RawInputHeader {
  std::uint32_t type = 0;
  std::uint32_t size = 0;  // of the whole record, header included
};

//! Bytes of the header in `layout` (what GetRawInputData wants as its header size).
std::size_t raw_input_header_size(RawInputLayout layout);

//! The header of a record, or nothing when the record is shorter than a header or claims more bytes
//! than it has.
std::optional<RawInputHeader> read_raw_input_header(std::span<const std::uint8_t> record,
                                                    RawInputLayout layout);

//! True for the device path the system gives the sensor mouse's collections
//! ("\\?\HID#VID_0C45&PID_7E11&MI_01&Col02#..."), in any letter case.
bool is_sensor_mouse_device_path(std::string_view device_path);

struct RawInputReports {
  std::optional<MouseReport> mouse;
  std::vector<HidReport> hid;  // one per report of a HID record, in order
};

// The cursor position when the record arrived (raw input carries none of its own).
struct CursorPosition {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

//! Turns one raw-input record of the device `device_name` into our reports, exactly as the Linux
//! device layer reports the same input: the button and wheel flags, relative motion, or absolute
//! motion in 0..65535; a mouse record without a button change or motion gives none. A HID record
//! gives every report it holds. Records of other devices than the sensor mouse, keyboard records and
//! malformed records give nothing.
RawInputReports translate_raw_input(std::span<const std::uint8_t> record, RawInputLayout layout,
                                    const std::string& device_name, CursorPosition cursor);

}  // namespace corvane
