#include "raw_input/raw_input_translator.h"

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

// The parts of a record after its header, as the system lays them out (4-byte fields, little-endian,
// the same in 32-bit and 64-bit processes).
namespace raw_mouse {
constexpr std::size_t kFlags = 0;        // USHORT usFlags (then two bytes of padding)
constexpr std::size_t kButtonFlags = 4;  // USHORT usButtonFlags, then USHORT usButtonData
constexpr std::size_t kLastX = 12;       // LONG lLastX, after ULONG ulRawButtons
constexpr std::size_t kLastY = 16;       // LONG lLastY
constexpr std::size_t kSize = 24;        // ... and ULONG ulExtraInformation
constexpr std::uint16_t kMoveAbsolute = 0x0001;
constexpr std::uint16_t kButtonsAndWheel = 0x07FF;
constexpr std::uint16_t kHorizontalWheel = 0x0800;
}  // namespace raw_mouse

namespace raw_hid {
constexpr std::size_t kSizeOfOneReport = 0;  // DWORD dwSizeHid
constexpr std::size_t kCount = 4;            // DWORD dwCount
constexpr std::size_t kReports = 8;          // BYTE bRawData[dwSizeHid * dwCount]
}  // namespace raw_hid

std::uint16_t read_u16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t read_u32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::optional<MouseReport> translate_mouse(std::span<const std::uint8_t> body, const std::string& device_name,
                                           CursorPosition cursor) {
  if (body.size() < raw_mouse::kSize) return std::nullopt;
  const std::uint16_t motion = read_u16(body, raw_mouse::kFlags);
  const std::uint16_t buttons = read_u16(body, raw_mouse::kButtonFlags);
  MouseReport report;
  report.device_name = device_name;
  // The horizontal wheel counts as wheel movement, as it does on Linux.
  report.button_flags =
      static_cast<std::uint16_t>((buttons & raw_mouse::kButtonsAndWheel) |
                                 ((buttons & raw_mouse::kHorizontalWheel) ? button_flags::kWheel : 0));
  report.absolute = (motion & raw_mouse::kMoveAbsolute) != 0;
  report.dx = static_cast<std::int32_t>(read_u32(body, raw_mouse::kLastX));
  report.dy = static_cast<std::int32_t>(read_u32(body, raw_mouse::kLastY));
  report.cursor_x = cursor.x;
  report.cursor_y = cursor.y;
  // The system also sends records that carry nothing (attribute changes, zero motion); the Linux layer
  // never reports such a group, and the engine must see the same stream on both.
  if (report.button_flags == 0 && !report.absolute && report.dx == 0 && report.dy == 0) return std::nullopt;
  return report;
}

std::vector<HidReport> translate_hid(std::span<const std::uint8_t> body, const std::string& device_name) {
  std::vector<HidReport> reports;
  if (body.size() < raw_hid::kReports) return reports;
  const std::uint64_t size = read_u32(body, raw_hid::kSizeOfOneReport);
  const std::uint64_t count = read_u32(body, raw_hid::kCount);
  if (size == 0 || count == 0 || size * count > body.size() - raw_hid::kReports) return reports;
  // A record may bring several reports when the device sent faster than they were fetched: each one
  // holds sensor samples, so none is dropped.
  reports.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    const auto report =
        body.subspan(static_cast<std::size_t>(raw_hid::kReports + i * size), static_cast<std::size_t>(size));
    reports.push_back(HidReport{device_name, std::vector<std::uint8_t>(report.begin(), report.end())});
  }
  return reports;
}

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::size_t raw_input_header_size(RawInputLayout layout) {
  // DWORD dwType, DWORD dwSize, HANDLE hDevice, WPARAM wParam
  return layout == RawInputLayout::Pointers64 ? 24 : 16;
}

std::optional<RawInputHeader> read_raw_input_header(std::span<const std::uint8_t> record,
                                                    RawInputLayout layout) {
  if (record.size() < raw_input_header_size(layout)) return std::nullopt;
  RawInputHeader header;
  header.type = read_u32(record, 0);
  header.size = read_u32(record, 4);
  if (header.size < raw_input_header_size(layout) || header.size > record.size()) return std::nullopt;
  return header;
}

bool is_sensor_mouse_device_path(std::string_view device_path) {
  std::string lowered(device_path);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), lower);
  return lowered.find("vid_0c45") != std::string::npos &&
         (lowered.find("pid_7e11") != std::string::npos || lowered.find("pid_7e12") != std::string::npos);
}

RawInputReports translate_raw_input(std::span<const std::uint8_t> record, RawInputLayout layout,
                                    const std::string& device_name, CursorPosition cursor) {
  RawInputReports out;
  const auto header = read_raw_input_header(record, layout);
  if (!header || !is_sensor_mouse_device_path(device_name)) return out;
  const auto body =
      record.subspan(raw_input_header_size(layout), header->size - raw_input_header_size(layout));
  switch (static_cast<RawInputType>(header->type)) {
    case RawInputType::Mouse:
      out.mouse = translate_mouse(body, device_name, cursor);
      break;
    case RawInputType::Hid:
      out.hid = translate_hid(body, device_name);
      break;
    default:
      break;
  }
  return out;
}

}  // namespace corvane
