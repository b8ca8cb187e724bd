#include "heart/sample_handler.h"

#include <gtest/gtest.h>

#include "heart/fake_detector.h"

namespace corvane {
namespace {

using testing::Block;
using testing::FakeDetector;
using testing::kOff;
using testing::kOn;

class SampleHandler : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeDetector::reset_instance();
    entry_points_ = FakeDetector::entry_points();
  }
  FakeDetector& detector() { return FakeDetector::instance(); }

  void feed(std::uint32_t reading, std::uint8_t contact_byte, std::uint16_t aux_high = 0) {
    now_ms_ += 50;
    handle_sample_block(ring_, state_, bound_ ? &entry_points_ : nullptr,
                        Block(reading, contact_byte, aux_high).span(), now_ms_);
  }
  const PpgRecord& newest() const { return ring_.at(ring_.newest_position()); }
  int beats() const {
    int n = 0;
    for (int p = 0; p < kPpgRingSize; ++p)
      n += ring_.at(p).beat() ? 1 : 0;
    return n;
  }

  OstrelEntryPoints entry_points_;
  bool bound_ = true;
  PpgRing ring_;
  MeasurementState state_;
  std::int64_t now_ms_ = 10'000;
};

TEST_F(SampleHandler, contact_byte_19_is_contact_and_20_is_not) {
  feed(1000, 19);
  EXPECT_TRUE(state_.contact);
  EXPECT_EQ(detector().values.size(), 1u);
  feed(1000, 20);
  EXPECT_FALSE(state_.contact);
  EXPECT_EQ(detector().values.size(), 1u) << "nothing is fed without contact";
}

TEST_F(SampleHandler, block_bytes_compose_reading_and_auxiliary_little_endian) {
  feed(0x12345678u, 7, 0xABCD);
  EXPECT_EQ(newest().reading, 0x12345678u);
  EXPECT_EQ(newest().auxiliary, 0xABCD07u);
  EXPECT_EQ(newest().time_ms, now_ms_);
  ASSERT_EQ(detector().values.size(), 1u);
  EXPECT_FLOAT_EQ(detector().values[0], static_cast<float>(0x12345678u));
  EXPECT_FLOAT_EQ(detector().levels[0], static_cast<float>(0xABCD07u));
}

TEST_F(SampleHandler, equal_readings_give_slope_zero_and_a_lower_one_a_negative_slope) {
  feed(5000, kOn);
  feed(5000, kOn);
  EXPECT_EQ(newest().slope, 0);
  feed(4990, kOn);
  EXPECT_EQ(newest().slope, -10);
  feed(5001, kOn);
  EXPECT_EQ(newest().slope, 11);
}

TEST_F(SampleHandler, slope_wraps_around_at_32_bits) {
  feed(0xFFFFFFFEu, kOn);
  feed(5, kOn);
  EXPECT_EQ(newest().slope, 7);
  feed(0xFFFFFFF0u, kOn);
  EXPECT_EQ(newest().slope, -21);
}

TEST_F(SampleHandler, fifty_readings_do_not_fetch_and_the_51st_does) {
  detector().average = 66;
  for (int i = 0; i < 50; ++i)
    feed(1000 + static_cast<std::uint32_t>(i), kOn);
  EXPECT_EQ(detector().average_calls, 0);
  EXPECT_EQ(state_.running_average, 0.0f);
  EXPECT_EQ(state_.fetch_counter, 50);
  feed(2000, kOn);
  EXPECT_EQ(detector().average_calls, 1);
  EXPECT_EQ(state_.running_average, 66.0f);
  EXPECT_EQ(state_.fetch_counter, 0);
  for (int i = 0; i < 50; ++i)
    feed(1000, kOn);
  EXPECT_EQ(detector().average_calls, 1);
  feed(1000, kOn);
  EXPECT_EQ(detector().average_calls, 2);
}

TEST_F(SampleHandler, readings_without_contact_do_not_count_toward_a_fetch) {
  for (int i = 0; i < 50; ++i)
    feed(1000, kOn);
  for (int i = 0; i < 10; ++i)
    feed(1000, kOff);
  EXPECT_EQ(detector().average_calls, 0);
  feed(1000, kOn);
  EXPECT_EQ(detector().average_calls, 1);
}

TEST_F(SampleHandler, lifting_and_replacing_the_thumb_resets_once_per_change) {
  feed(1000, kOff);
  EXPECT_EQ(detector().reset_calls, 0) << "no contact at start is no change";
  for (int i = 0; i < 5; ++i)
    feed(1000, kOn);
  EXPECT_EQ(detector().reset_calls, 1);
  for (int i = 0; i < 5; ++i)
    feed(1000, kOff);
  EXPECT_EQ(detector().reset_calls, 2);
  for (int i = 0; i < 5; ++i)
    feed(1000, kOn);
  EXPECT_EQ(detector().reset_calls, 3);
}

TEST_F(SampleHandler, write_position_wraps_from_1999_to_0) {
  for (int i = 0; i < 1999; ++i)
    feed(100 + static_cast<std::uint32_t>(i), kOff);
  EXPECT_EQ(ring_.newest_position(), 1999);
  feed(7, kOff);
  EXPECT_EQ(ring_.newest_position(), 0);
  EXPECT_EQ(ring_.at(0).reading, 7u);
  EXPECT_EQ(ring_.at(0).slope, 7 - (100 + 1998));
}

TEST_F(SampleHandler, ready_answer_sets_ready_or_not_ready_time) {
  detector().ready = false;
  feed(1000, kOn);
  EXPECT_FALSE(state_.ready);
  EXPECT_EQ(state_.not_ready_ms, now_ms_);
  const std::int64_t last_not_ready = now_ms_;
  detector().ready = true;
  feed(1000, kOn);
  feed(1000, kOn);
  EXPECT_TRUE(state_.ready);
  EXPECT_EQ(state_.not_ready_ms, last_not_ready);
}

TEST_F(SampleHandler, no_contact_clears_ready_result_and_hold_and_stamps_times) {
  detector().ready = true;
  feed(1000, kOn);
  state_.result_fixed = true;
  state_.hold = true;
  feed(1000, kOff);
  EXPECT_FALSE(state_.ready);
  EXPECT_FALSE(state_.result_fixed);
  EXPECT_FALSE(state_.hold);
  EXPECT_EQ(state_.not_ready_ms, now_ms_);
  EXPECT_EQ(state_.no_contact_ms, now_ms_);
  EXPECT_EQ(detector().ready_calls, 1) << "the ready flag is asked only with contact";
}

TEST_F(SampleHandler, without_a_detector_readings_enter_the_ring_but_nothing_else_happens) {
  bound_ = false;
  for (std::uint32_t v : {1000u, 900u, 1000u, 1100u, 1000u, 800u, 1000u})
    feed(v, kOn);
  EXPECT_EQ(newest().reading, 1000u);
  EXPECT_EQ(ring_.recent(100).size(), 7u);
  EXPECT_TRUE(detector().values.empty());
  EXPECT_EQ(detector().reset_calls, 0);
  EXPECT_EQ(detector().ready_calls, 0);
  EXPECT_EQ(beats(), 0);
  EXPECT_FALSE(state_.ready);
}

TEST_F(SampleHandler, a_missing_entry_point_is_never_called_and_counts_as_not_ready) {
  entry_points_.get_ready_flag = nullptr;
  entry_points_.get_average = nullptr;
  entry_points_.reset = nullptr;
  detector().ready = true;
  for (int i = 0; i < 60; ++i)
    feed(1000 + static_cast<std::uint32_t>(i % 7), kOn);
  EXPECT_EQ(detector().values.size(), 60u);
  EXPECT_FALSE(state_.ready);
  EXPECT_EQ(state_.not_ready_ms, now_ms_);
  EXPECT_EQ(state_.running_average, 0.0f);
}

// A beat is the steepest fall of the window that is followed by a less steep slope.
TEST_F(SampleHandler, steepest_fall_in_the_window_gets_the_beat_mark_once) {
  feed(1000, kOn);
  feed(1010, kOn);
  feed(950, kOn);  // slope -60: the steepest fall, not yet followed by anything
  EXPECT_EQ(beats(), 0);
  feed(940, kOn);  // slope -10: the fall before it is now a minimum
  EXPECT_TRUE(ring_.at(PpgRing::back(ring_.newest_position(), 1)).beat());
  EXPECT_EQ(state_.beat_ms, now_ms_);
  EXPECT_EQ(beats(), 1);
  const std::int64_t marked_at = now_ms_;
  feed(960, kOn);
  feed(970, kOn);
  feed(980, kOn);
  EXPECT_EQ(beats(), 1) << "the mark already in the window stops the scan";
  EXPECT_EQ(state_.beat_ms, marked_at);
}

TEST_F(SampleHandler, short_ring_scan_stops_at_the_first_empty_record) {
  // Position 1 gets the first record; its slope is against the empty position 0 and never counts.
  feed(1000, kOn);
  feed(1000, kOn);
  EXPECT_EQ(beats(), 0);
  // A very steep fall beyond an empty record must not be seen: wipe one record to stand for the gap.
  feed(100, kOn);  // slope -900 at position 3
  feed(200, kOn);  // position 4, slope 100: position 3 is marked
  EXPECT_TRUE(ring_.at(3).beat());
  ring_.at(3).flags = 0;
  ring_.at(3).reading = 0;  // now empty: position 2 and before lie behind it
  ring_.at(2).slope = -5000;
  feed(210, kOn);
  feed(220, kOn);
  EXPECT_FALSE(ring_.at(2).beat());
  EXPECT_EQ(beats(), 0);
}

TEST_F(SampleHandler, beats_are_marked_only_with_contact) {
  feed(1000, kOff);
  feed(1010, kOff);
  feed(950, kOff);
  feed(960, kOff);
  EXPECT_EQ(beats(), 0);
}

}  // namespace
}  // namespace corvane
