#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace corvane {

// One top-level collection of a HID interface, as Windows would present it as a device of its own.
struct HidCollection {
  std::uint16_t usage_page = 0;
  std::uint16_t usage = 0;
  //! Length of an input report of this collection in the Windows raw-input layout: one report-ID byte
  //! (0 when the interface has no report IDs) plus the longest input report of the collection.
  std::size_t input_report_length = 0;
};

// What one report descriptor says about the input reports of its interface. Linux gives one hidraw
// node per interface carrying every top-level collection; Windows gives one device per collection,
// so reads are sorted into collections through this map.
struct HidReportLayout {
  bool numbered = false;  // the interface puts a report-ID byte in front of every report
  std::vector<HidCollection> collections;
  //! Report ID (0 on an interface without IDs) -> index into `collections`; only reports with inputs.
  std::map<std::uint8_t, std::size_t> input_reports;
};

//! Reads a HID report descriptor. Returns nothing when the descriptor is malformed (truncated item,
//! unbalanced collections, a report ID of 0).
std::optional<HidReportLayout> parse_report_descriptor(std::span<const std::uint8_t> descriptor);

//! True for the two vendor collections whose reports the program reads (usage page 0xFF30 or 0xFF29,
//! usage 1).
bool is_sensor_collection(const HidCollection& collection);

//! Turns one hidraw read into the bytes Windows raw input would deliver for it: the report-ID byte
//! first (a 0 put in front on an interface without IDs), zero-padded to the collection's input report
//! length. Reports of an unknown ID, of a collection other than the sensor collections, and empty
//! reads give nothing. A report longer than its collection allows is cut to that length, as the
//! Windows HID stack hands on no more than the collection's input report length.
std::optional<std::vector<std::uint8_t>> normalize_hid_report(const HidReportLayout& layout,
                                                              std::span<const std::uint8_t> read);

}  // namespace corvane
