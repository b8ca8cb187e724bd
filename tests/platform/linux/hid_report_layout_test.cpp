#include "devices/hid_report_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "same_input_cases.h"

namespace corvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Hand-written descriptors of the shapes the sensor mouse's interfaces come in.

// A boot-style mouse: 5 buttons, 8-bit X/Y and wheel, report ID `id` (0: no Report ID item).
Bytes mouse_collection(std::uint8_t id) {
  Bytes d = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01};  // Usage Page (Generic Desktop), Usage (Mouse), Collection
  if (id != 0) d.insert(d.end(), {0x85, id});      // Report ID
  d.insert(d.end(), {0x09, 0x01, 0xA1, 0x00,       // Usage (Pointer), Collection (Physical)
                     0x05, 0x09, 0x19, 0x01, 0x29, 0x05, 0x15, 0x00, 0x25, 0x01,  // Buttons 1-5
                     0x95, 0x05, 0x75, 0x01, 0x81, 0x02,                          // 5 x 1 bit input
                     0x95, 0x01, 0x75, 0x03, 0x81, 0x01,                          // 3 bit padding
                     0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,              // X, Y, Wheel
                     0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06,  // 3 x 8 bit relative
                     0xC0, 0xC0});
  return d;
}

// A vendor collection on `page` (0xFFxx) with usage `usage`, one input report of `bytes` bytes, and an
// output report that must not count as input.
Bytes vendor_collection(std::uint8_t page_low, std::uint8_t usage, std::uint8_t id, std::uint8_t bytes) {
  Bytes d = {0x06, page_low, 0xFF, 0x09, usage, 0xA1, 0x01};
  if (id != 0) d.insert(d.end(), {0x85, id});
  d.insert(d.end(), {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, bytes, 0x09, 0x01, 0x81, 0x02,  // input
                     0x95, 0x40, 0x09, 0x02, 0x91, 0x02,  // 64-byte output
                     0xC0});
  return d;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

HidReportLayout parse(const Bytes& descriptor) {
  const auto layout = parse_report_descriptor(descriptor);
  EXPECT_TRUE(layout.has_value());
  return layout.value_or(HidReportLayout{});
}

TEST(ReportDescriptorParsing, numbered_interface_with_mouse_and_both_vendor_collections_maps_each_id) {
  const auto layout = parse(
      concat({mouse_collection(3), vendor_collection(0x30, 1, 1, 15), vendor_collection(0x29, 1, 2, 7)}));
  EXPECT_TRUE(layout.numbered);
  ASSERT_EQ(layout.collections.size(), 3u);
  EXPECT_EQ(layout.collections[0].usage_page, 0x0001);
  EXPECT_EQ(layout.collections[0].usage, 0x0002);
  EXPECT_EQ(layout.collections[0].input_report_length, 5u);  // ID + buttons byte + X, Y, wheel
  EXPECT_EQ(layout.collections[1].usage_page, 0xFF30);
  EXPECT_EQ(layout.collections[1].input_report_length, 16u);
  EXPECT_EQ(layout.collections[2].usage_page, 0xFF29);
  EXPECT_EQ(layout.collections[2].input_report_length, 8u);
  EXPECT_EQ(layout.input_reports.at(3), 0u);
  EXPECT_EQ(layout.input_reports.at(1), 1u);
  EXPECT_EQ(layout.input_reports.at(2), 2u);
}

TEST(ReportDescriptorParsing, unnumbered_vendor_interface_has_one_report_of_id_zero) {
  const auto layout = parse(vendor_collection(0x29, 1, 0, 16));
  EXPECT_FALSE(layout.numbered);
  ASSERT_EQ(layout.input_reports.size(), 1u);
  EXPECT_EQ(layout.input_reports.at(0), 0u);
  EXPECT_EQ(layout.collections[0].input_report_length, 17u);  // the leading 0 counts, as on Windows
}

TEST(ReportDescriptorParsing, collection_length_is_its_longest_input_report) {
  // Two input reports in one collection: IDs 1 (3 bytes) and 4 (9 bytes).
  const Bytes d = {0x06, 0x30, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x85, 0x01,
                   0x95, 0x03, 0x81, 0x02, 0x85, 0x04, 0x95, 0x09, 0x81, 0x02, 0xC0};
  const auto layout = parse(d);
  EXPECT_EQ(layout.collections[0].input_report_length, 10u);
  EXPECT_EQ(layout.input_reports.size(), 2u);
}

TEST(ReportDescriptorParsing, extended_usage_and_push_pop_and_long_items_are_understood) {
  const Bytes d = {0xA4,                                      // Push (usage page 0)
                   0x0B, 0x01, 0x00, 0x30, 0xFF,              // Usage (extended: page 0xFF30, usage 1)
                   0xA1, 0x01, 0xFE, 0x02, 0x10, 0xAA, 0xBB,  // Collection, a long item
                   0x75, 0x08, 0x95, 0x04, 0x81, 0x02, 0xC0, 0xB4};
  const auto layout = parse(d);
  ASSERT_EQ(layout.collections.size(), 1u);
  EXPECT_EQ(layout.collections[0].usage_page, 0xFF30);
  EXPECT_EQ(layout.collections[0].usage, 1);
  EXPECT_EQ(layout.collections[0].input_report_length, 5u);
}

TEST(ReportDescriptorParsing, malformed_descriptors_are_refused) {
  EXPECT_FALSE(parse_report_descriptor(Bytes{0x06, 0x30}));                                // truncated item
  EXPECT_FALSE(parse_report_descriptor(Bytes{0x06, 0x30, 0xFF, 0x09, 0x01, 0xA1, 0x01}));  // open collection
  EXPECT_FALSE(parse_report_descriptor(Bytes{0xC0}));                                      // stray end
  EXPECT_FALSE(parse_report_descriptor(Bytes{0x85, 0x00}));                                // report ID 0
  EXPECT_FALSE(parse_report_descriptor(Bytes{0xB4}));                                      // pop without push
  EXPECT_FALSE(parse_report_descriptor(Bytes{0xFE, 0x05, 0x10, 0x01}));  // truncated long item
  // 0xFFFF reports of 0xFFFF bits: longer than the kernel could ever hand out.
  EXPECT_FALSE(parse_report_descriptor(
      Bytes{0x06, 0x30, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x76, 0xFF, 0xFF, 0x96, 0xFF, 0xFF, 0x81, 0x02, 0xC0}));
  // Four inputs of 2^31 x 2^31 bits add up to exactly 2^64: a 64-bit sum wraps to 0, and one more byte
  // would make this look like a 2-byte report.
  Bytes wrapping = {0x06, 0x30, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x77, 0x00,
                    0x00, 0x00, 0x80, 0x97, 0x00, 0x00, 0x00, 0x80};  // 2^31 reports of 2^31 bits
  for (int i = 0; i < 4; ++i)
    wrapping.insert(wrapping.end(), {0x81, 0x02});
  wrapping.insert(wrapping.end(), {0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0});
  EXPECT_FALSE(parse_report_descriptor(wrapping));
}

class ReportNormalisation : public ::testing::Test {
 protected:
  std::optional<Bytes> normalize(const HidReportLayout& layout, const Bytes& read) {
    return normalize_hid_report(layout, read);
  }
};

TEST_F(ReportNormalisation, numbered_sensor_report_keeps_its_id_byte_and_is_padded) {
  const auto layout = parse(concat({mouse_collection(3), vendor_collection(0x30, 1, 1, 15)}));
  const auto out = normalize(layout, {0x01, 0x0D, 0xAA, 0xBB});
  ASSERT_TRUE(out);
  Bytes expected(16, 0);
  expected[0] = 0x01;
  expected[1] = 0x0D;
  expected[2] = 0xAA;
  expected[3] = 0xBB;
  EXPECT_EQ(*out, expected);
}

TEST_F(ReportNormalisation, unnumbered_sensor_report_gets_a_leading_zero) {
  const auto layout = parse(vendor_collection(0x29, 1, 0, 16));
  Bytes read(16, 0);
  read[0] = 8;
  read[1] = 8;
  read[2] = 1;
  const auto out = normalize(layout, read);
  ASSERT_TRUE(out);
  ASSERT_EQ(out->size(), 17u);
  EXPECT_EQ((*out)[0], 0);
  EXPECT_EQ((*out)[1], 8);
  EXPECT_EQ((*out)[2], 8);
  EXPECT_EQ((*out)[3], 1);
}

TEST_F(ReportNormalisation, vendor_collections_on_separate_unnumbered_nodes_each_get_a_leading_zero) {
  const auto first = parse(vendor_collection(0x30, 1, 0, 16));
  const auto second = parse(vendor_collection(0x29, 1, 0, 16));
  const Bytes read = {0x01, 0x0D, 0x33};
  const auto a = normalize(first, read);
  const auto b = normalize(second, read);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(*a, *b);
  EXPECT_EQ(a->size(), 17u);
  EXPECT_EQ((Bytes{(*a)[0], (*a)[1], (*a)[2], (*a)[3]}), (Bytes{0x00, 0x01, 0x0D, 0x33}));
}

TEST_F(ReportNormalisation, unnumbered_short_read_is_padded_to_collection_length) {
  const auto layout = parse(vendor_collection(0x29, 1, 0, 16));
  const auto out = normalize(layout, {0x08, 0x08, 0x0E});
  ASSERT_TRUE(out);
  EXPECT_EQ(*out, (Bytes{0, 0x08, 0x08, 0x0E, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ReportNormalisation, report_classified_by_collection_not_by_length) {
  // The 0xFF29 report with ID 2 is 16 bytes long like a report of the 0xFF30 collection would be; it
  // keeps its own ID and length.
  const auto layout = parse(concat({vendor_collection(0x30, 1, 1, 15), vendor_collection(0x29, 1, 2, 15)}));
  const auto out = normalize(layout, Bytes(16, 0x02));
  ASSERT_TRUE(out);
  EXPECT_EQ((*out)[0], 0x02);
  EXPECT_EQ(out->size(), 16u);
}

TEST_F(ReportNormalisation, mouse_and_foreign_collections_are_dropped) {
  const auto layout = parse(concat({mouse_collection(3), vendor_collection(0x30, 2, 5, 15),
                                    vendor_collection(0x00, 1, 6, 15), vendor_collection(0x30, 1, 1, 15)}));
  EXPECT_FALSE(normalize(layout, {0x03, 0x01, 0x00, 0x00, 0x00}));  // the pointing collection
  EXPECT_FALSE(normalize(layout, Bytes(16, 0x05)));                 // right page, wrong usage
  EXPECT_FALSE(normalize(layout, Bytes(16, 0x06)));                 // page 0xFF00
  EXPECT_TRUE(normalize(layout, Bytes(16, 0x01)));
}

TEST_F(ReportNormalisation, unknown_id_and_empty_read_are_dropped) {
  const auto layout = parse(vendor_collection(0x30, 1, 1, 15));
  EXPECT_FALSE(normalize(layout, Bytes(16, 0x09)));
  EXPECT_FALSE(normalize(layout, Bytes{}));
}

TEST_F(ReportNormalisation, unnumbered_mouse_interface_gives_nothing) {
  const auto layout = parse(mouse_collection(0));
  EXPECT_FALSE(normalize(layout, {0x01, 0x05, 0x00, 0x00}));
}

TEST_F(ReportNormalisation, hidraw_reads_become_the_bytes_raw_input_delivers_for_the_same_report) {
  for (const auto& c : same_input::kSensorCases) {
    const auto layout = parse(vendor_collection(c.page_low, 1, c.report_id, c.report_bytes));
    EXPECT_EQ(normalize(layout, c.hidraw_read), c.raw_input_report) << c.name;
  }
}

TEST_F(ReportNormalisation, overlong_read_is_cut_to_collection_length) {
  const auto layout = parse(vendor_collection(0x30, 1, 1, 15));
  const auto out = normalize(layout, Bytes(40, 0x01));
  ASSERT_TRUE(out);
  EXPECT_EQ(out->size(), 16u);
}

}  // namespace
}  // namespace corvane
