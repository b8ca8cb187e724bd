#include <gtest/gtest.h>

#include "heart/heart_page_view.h"
#include "heart/heart_session.h"

namespace corvane {
namespace {

// The session reads the state the sample handler keeps; these cases set that state directly.
class Session : public ::testing::Test {
 protected:
  // A thumb on the sensor, the detector ready since `ready_since_ms`, blocks arriving.
  void counting(float average, std::int64_t ready_for_ms) {
    state_.contact = true;
    state_.previous_contact = true;
    state_.ready = true;
    state_.running_average = average;
    state_.receive_countdown = 4;
    state_.not_ready_ms = now_ms_ - ready_for_ms;
    state_.no_contact_ms = now_ms_ - 30'000;
  }
  SessionStep step() { return step_session(state_, now_ms_); }

  MeasurementState state_;
  std::int64_t now_ms_ = 100'000;
};

TEST_F(Session, idle_shows_no_readout_and_no_message) {
  const SessionStep s = step();
  EXPECT_EQ(s.readout, "-- bpm");
  EXPECT_EQ(s.message, "");
  EXPECT_FALSE(s.show_hint);
  EXPECT_FALSE(s.new_result);
}

TEST_F(Session, blocks_without_contact_prompt_for_the_thumb) {
  state_.receive_countdown = 3;
  const SessionStep s = step();
  EXPECT_EQ(s.readout, "-- bpm");
  EXPECT_EQ(s.message, kThumbPromptText);
  EXPECT_FALSE(s.show_hint);
}

TEST_F(Session, contact_while_not_ready_shows_the_waiting_text_and_hint) {
  state_.receive_countdown = 4;
  state_.contact = true;
  state_.not_ready_ms = now_ms_;
  const SessionStep s = step();
  EXPECT_EQ(s.readout, "-- bpm");
  EXPECT_EQ(s.message, "安定するのを待っています\n※十数秒かかります。");
  EXPECT_TRUE(s.show_hint);
}

TEST_F(Session, counting_shows_the_average_rounded_half_up_and_the_countdown) {
  counting(72.6f, 500);
  SessionStep s = step();
  EXPECT_EQ(s.readout, "73 bpm");
  EXPECT_EQ(s.message, "wait 7 sec");
  EXPECT_TRUE(s.show_hint);
  counting(72.5f, 0);
  s = step();
  EXPECT_EQ(s.readout, "73 bpm");
  EXPECT_EQ(s.message, "wait 8 sec");
  counting(72.4f, 0);
  EXPECT_EQ(step().readout, "72 bpm");
}

TEST_F(Session, countdown_is_capped_at_8_seconds) {
  counting(72.0f, -5000);  // a not-ready time ahead of now (the clock is never that far off, but cap anyway)
  EXPECT_EQ(step().message, "wait 8 sec");
}

TEST_F(Session, countdown_keeps_going_below_zero_while_the_average_is_out_of_range) {
  counting(180.0f, 11'500);
  const SessionStep s = step();
  EXPECT_FALSE(s.new_result);
  EXPECT_EQ(s.message, "wait -3 sec");
}

TEST_F(Session, average_exactly_40_or_180_gives_no_result) {
  for (float average : {40.0f, 180.0f, 30.0f, 200.0f}) {
    counting(average, 20'000);
    EXPECT_FALSE(step().new_result) << average;
    EXPECT_FALSE(state_.result_fixed);
  }
  counting(40.01f, 20'000);
  EXPECT_TRUE(step().new_result);
}

TEST_F(Session, ready_for_7999_ms_gives_no_result_and_8000_ms_does) {
  counting(72.0f, 7999);
  EXPECT_FALSE(step().new_result);
  now_ms_ += 1;
  const SessionStep s = step();
  ASSERT_TRUE(s.new_result);
  EXPECT_EQ(*s.new_result, 72.0f);
  EXPECT_TRUE(state_.result_fixed);
}

TEST_F(Session, fixed_result_of_72_6_is_shown_as_72) {
  counting(72.6f, 8000);
  const SessionStep fixed = step();
  ASSERT_TRUE(fixed.new_result);
  EXPECT_FLOAT_EQ(*fixed.new_result, 72.6f);
  EXPECT_EQ(result_bpm(*fixed.new_result), 72);
  EXPECT_EQ(fixed.message, "Result: 72 bpm");
  EXPECT_EQ(fixed.readout, "72 bpm");
  EXPECT_FALSE(fixed.show_hint);

  // The average moves on; the page keeps the held result and repeats it as the message.
  state_.running_average = 80.0f;
  now_ms_ += 50;
  const SessionStep held = step();
  EXPECT_FALSE(held.new_result);
  EXPECT_EQ(held.readout, "72 bpm");
  EXPECT_EQ(held.message, "72 bpm");
  EXPECT_TRUE(state_.hold);
}

TEST_F(Session, result_is_taken_once_per_contact_period) {
  counting(72.0f, 9000);
  EXPECT_TRUE(step().new_result);
  for (int i = 0; i < 100; ++i) {
    now_ms_ += 50;
    EXPECT_FALSE(step().new_result);
  }
  // Lifting the thumb clears the fixed flag (the sample handler does that); the next period measures anew.
  state_.result_fixed = false;
  state_.hold = false;
  counting(75.0f, 8000);
  const SessionStep again = step();
  ASSERT_TRUE(again.new_result);
  EXPECT_EQ(*again.new_result, 75.0f);
}

TEST_F(Session, heart_symbol_lights_only_just_after_a_beat_on_a_steady_contact) {
  counting(70.0f, 0);
  state_.beat_ms = now_ms_ - 249;
  EXPECT_TRUE(step().heart_lit);
  state_.beat_ms = now_ms_ - 250;
  EXPECT_FALSE(step().heart_lit);
  state_.beat_ms = now_ms_ - 10;
  state_.no_contact_ms = now_ms_ - 1000;
  EXPECT_FALSE(step().heart_lit) << "contact must have lasted more than a second";
  state_.no_contact_ms = now_ms_ - 1001;
  state_.running_average = 45.0f;
  EXPECT_FALSE(step().heart_lit) << "an average of 45 or less is not a heart rate yet";
}

}  // namespace
}  // namespace corvane
