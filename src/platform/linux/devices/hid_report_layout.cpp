#include "devices/hid_report_layout.h"

#include <algorithm>

namespace corvane {
namespace {

// Item tags of the short items we need (HID 1.11, section 6.2.2).
enum : std::uint8_t {
  kTypeMain = 0,
  kTypeGlobal = 1,
  kTypeLocal = 2,
  kMainInput = 0x8,
  kMainCollection = 0xA,
  kMainEndCollection = 0xC,
  kGlobalUsagePage = 0x0,
  kGlobalReportSize = 0x7,
  kGlobalReportId = 0x8,
  kGlobalReportCount = 0x9,
  kGlobalPush = 0xA,
  kGlobalPop = 0xB,
  kLocalUsage = 0x0,
  kLongItemPrefix = 0xFE,
};

// The kernel hands no report longer than its largest HID buffer (HID_MAX_BUFFER_SIZE, 16384 bytes); a
// longer declaration is garbage.
constexpr std::uint64_t kMaxReportBits = 8 * 16384;

struct GlobalState {
  std::uint32_t usage_page = 0;
  std::uint32_t report_size = 0;
  std::uint32_t report_count = 0;
  std::uint8_t report_id = 0;
};

std::uint32_t item_value(std::span<const std::uint8_t> data) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data.size(); ++i)
    value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
  return value;
}

}  // namespace

std::optional<HidReportLayout> parse_report_descriptor(std::span<const std::uint8_t> descriptor) {
  HidReportLayout layout;
  GlobalState global;
  std::vector<GlobalState> pushed;
  std::vector<std::uint32_t> usages;  // local usages since the last main item (extended when 4 bytes)
  int depth = 0;
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t top_level = kNone;               // index of the top-level collection we are in
  std::map<std::uint8_t, std::uint64_t> bits;  // input bits per report ID

  std::size_t pos = 0;
  while (pos < descriptor.size()) {
    const std::uint8_t prefix = descriptor[pos];
    if (prefix == kLongItemPrefix) {
      if (pos + 3 > descriptor.size()) return std::nullopt;
      const std::size_t size = descriptor[pos + 1];
      if (pos + 3 + size > descriptor.size()) return std::nullopt;
      pos += 3 + size;
      continue;
    }
    const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
    if (pos + 1 + size > descriptor.size()) return std::nullopt;
    const std::uint8_t type = (prefix >> 2) & 0x3;
    const std::uint8_t tag = prefix >> 4;
    const std::uint32_t value = item_value(descriptor.subspan(pos + 1, size));
    pos += 1 + size;

    if (type == kTypeGlobal) {
      switch (tag) {
        case kGlobalUsagePage:
          global.usage_page = value;
          break;
        case kGlobalReportSize:
          global.report_size = value;
          break;
        case kGlobalReportCount:
          global.report_count = value;
          break;
        case kGlobalReportId:
          if (value == 0 || value > 0xFF) return std::nullopt;
          global.report_id = static_cast<std::uint8_t>(value);
          layout.numbered = true;
          break;
        case kGlobalPush:
          pushed.push_back(global);
          break;
        case kGlobalPop:
          if (pushed.empty()) return std::nullopt;
          global = pushed.back();
          pushed.pop_back();
          break;
        default:
          break;
      }
    } else if (type == kTypeLocal) {
      if (tag == kLocalUsage) usages.push_back(size == 4 ? value : (global.usage_page << 16) | value);
    } else if (type == kTypeMain) {
      if (tag == kMainCollection) {
        if (depth == 0) {
          const std::uint32_t usage = usages.empty() ? global.usage_page << 16 : usages.front();
          layout.collections.push_back(HidCollection{static_cast<std::uint16_t>(usage >> 16),
                                                     static_cast<std::uint16_t>(usage & 0xFFFF), 0});
          top_level = layout.collections.size() - 1;
        }
        ++depth;
      } else if (tag == kMainEndCollection) {
        if (depth == 0) return std::nullopt;
        if (--depth == 0) top_level = kNone;
      } else if (tag == kMainInput && top_level != kNone) {
        // A report ID belongs to the first top-level collection that declares inputs with it.
        const auto it = layout.input_reports.emplace(global.report_id, top_level).first;
        if (it->second == top_level) {
          // Checked item by item: a few items of 2^31 x 2^31 bits would wrap even a 64-bit sum back
          // to a harmless-looking length.
          const std::uint64_t item_bits =
              static_cast<std::uint64_t>(global.report_size) * global.report_count;
          std::uint64_t& sum = bits[global.report_id];
          if (item_bits > kMaxReportBits - sum) return std::nullopt;
          sum += item_bits;
        }
      }
      usages.clear();
    }
  }
  if (depth != 0) return std::nullopt;

  // On an interface with IDs, reports declared before the first Report ID item carry no ID at all;
  // such a mix is not a valid descriptor.
  if (layout.numbered && layout.input_reports.contains(0)) return std::nullopt;

  for (const auto& [id, index] : layout.input_reports) {
    const std::size_t length = 1 + static_cast<std::size_t>((bits[id] + 7) / 8);
    auto& collection = layout.collections[index];
    collection.input_report_length = std::max(collection.input_report_length, length);
  }
  return layout;
}

bool is_sensor_collection(const HidCollection& collection) {
  return (collection.usage_page == 0xFF30 || collection.usage_page == 0xFF29) && collection.usage == 1;
}

std::optional<std::vector<std::uint8_t>> normalize_hid_report(const HidReportLayout& layout,
                                                              std::span<const std::uint8_t> read) {
  if (read.empty()) return std::nullopt;
  const std::uint8_t id = layout.numbered ? read[0] : 0;
  const auto found = layout.input_reports.find(id);
  if (found == layout.input_reports.end()) return std::nullopt;
  const HidCollection& collection = layout.collections[found->second];
  if (!is_sensor_collection(collection)) return std::nullopt;

  std::vector<std::uint8_t> bytes;
  bytes.reserve(collection.input_report_length);
  if (!layout.numbered) bytes.push_back(0);
  const std::size_t room = collection.input_report_length - bytes.size();
  const std::size_t take = std::min(room, read.size());
  bytes.insert(bytes.end(), read.begin(), read.begin() + static_cast<std::ptrdiff_t>(take));
  bytes.resize(collection.input_report_length, 0);
  return bytes;
}

}  // namespace corvane
