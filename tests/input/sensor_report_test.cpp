#include "input/sensor_report.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane {
namespace {

std::vector<std::uint8_t> report(std::size_t size, std::initializer_list<std::uint8_t> head) {
  std::vector<std::uint8_t> r(size, 0);
  std::size_t i = 0;
  for (std::uint8_t b : head)
    r[i++] = b;
  return r;
}

SensorAction action_of(const std::vector<std::uint8_t>& r) {
  return decode_sensor_report(r).action;
}

TEST(SensorReport16, code_0x0d_hands_the_block_from_byte_2) {
  const SensorDecode d = decode_sensor_report(report(16, {1, 0x0D}));
  EXPECT_EQ(d.action, SensorAction::SampleBlock);
  EXPECT_EQ(d.block_offset, 2u);
}

TEST(SensorReport17, sample_code_hands_the_block_from_byte_3) {
  const SensorDecode d = decode_sensor_report(report(17, {0, 8, 8, 1}));
  EXPECT_EQ(d.action, SensorAction::SampleBlock);
  EXPECT_EQ(d.block_offset, 3u);
  EXPECT_LE(d.block_offset + kSampleBlockSize, 17u);
}

TEST(SensorReport, code_0x0e_of_either_layout_brings_up_the_heart_page) {
  EXPECT_EQ(action_of(report(16, {1, 0x0E})), SensorAction::ShowHeartPage);
  EXPECT_EQ(action_of(report(17, {0, 8, 8, 0x0E})), SensorAction::ShowHeartPage);
}

TEST(SensorReport, other_ids_prefixes_codes_and_sizes_are_ignored) {
  const std::vector<std::vector<std::uint8_t>> ignored{
      report(16, {2, 0x0D}),    report(16, {0, 0x0D}),
      report(16, {1, 0x01}),    report(17, {1, 8, 8, 1}),
      report(17, {0, 8, 7, 1}), report(17, {0, 8, 8, 0x0D}),
      report(15, {1, 0x0D}),    report(18, {0, 8, 8, 1}),
      report(32, {1, 0x0E}),    {},
  };
  for (const auto& r : ignored)
    EXPECT_EQ(action_of(r), SensorAction::Ignore) << ::testing::PrintToString(r);
}

}  // namespace
}  // namespace corvane
