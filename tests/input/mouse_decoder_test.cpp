#include "input/mouse_decoder.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/fake_clock.h"

namespace corvane {
namespace {

using namespace button_flags;

MouseReport buttons(std::uint16_t flags, int x = 10, int y = 20) {
  MouseReport r;
  r.device_name = "vid_0c45&pid_7e11";
  r.button_flags = flags;
  r.cursor_x = x;
  r.cursor_y = y;
  return r;
}

class MouseDecoderTest : public ::testing::Test {
 protected:
  testing::FakeClock clock;
  MouseDecoder decoder{clock};
};

TEST_F(MouseDecoderTest, left_press_gives_event_with_change_state_position_and_times) {
  clock.advance_ms(250);
  const auto event = decoder.apply_buttons(buttons(kLeftDown, 7, -3));
  ASSERT_TRUE(event);
  EXPECT_EQ(event->x, 7);
  EXPECT_EQ(event->y, -3);
  EXPECT_EQ(event->valid, 1);
  EXPECT_EQ(event->changed, button_state::kLeft);
  EXPECT_EQ(event->state, button_state::kLeft);
  EXPECT_EQ(event->ms_since_previous, 250);  // counted from the decoder's start
  EXPECT_EQ(event->wall_seconds, clock.epoch_seconds());
}

TEST_F(MouseDecoderTest, press_and_release_in_one_report_or_release_without_press_gives_no_event) {
  EXPECT_FALSE(decoder.apply_buttons(buttons(kLeftDown | kLeftUp)));
  EXPECT_FALSE(decoder.apply_buttons(buttons(kRightUp)));
  EXPECT_EQ(decoder.state(), 0);
}

TEST_F(MouseDecoderTest, side_buttons_map_fourth_to_0x10_and_fifth_to_0x08) {
  EXPECT_EQ(decoder.apply_buttons(buttons(kFourthDown))->changed, button_state::kFourth);
  EXPECT_EQ(decoder.apply_buttons(buttons(kFifthDown))->changed, button_state::kFifth);
  EXPECT_EQ(decoder.state(), button_state::kFourth | button_state::kFifth);
}

TEST_F(MouseDecoderTest, second_change_counts_from_the_last_change_of_any_button) {
  decoder.apply_buttons(buttons(kLeftDown));
  clock.advance_ms(40);
  EXPECT_FALSE(decoder.apply_buttons(buttons(kLeftDown)));  // no change: the time keeps running
  clock.advance_ms(60);
  const auto event = decoder.apply_buttons(buttons(kRightDown));
  ASSERT_TRUE(event);
  EXPECT_EQ(event->ms_since_previous, 100);
  EXPECT_EQ(event->changed, button_state::kRight);
  EXPECT_EQ(event->state, button_state::kLeft | button_state::kRight);
}

TEST_F(MouseDecoderTest, tick_wrap_keeps_the_difference_positive) {
  clock.set_tick_base(0xFFFFFFF0u);
  MouseDecoder wrapping(clock);
  clock.advance_ms(0x30);
  EXPECT_EQ(wrapping.apply_buttons(buttons(kMiddleDown))->ms_since_previous, 0x30);
}

TEST_F(MouseDecoderTest, pause_beyond_the_int32_range_stays_at_the_top_not_negative) {
  decoder.apply_buttons(buttons(kLeftDown));
  decoder.apply_buttons(buttons(kLeftUp));
  clock.advance_ms(std::int64_t{25} * 24 * 3600 * 1000);  // 25 days without a button change
  const auto event = decoder.apply_buttons(buttons(kLeftDown));
  ASSERT_TRUE(event);
  EXPECT_EQ(event->ms_since_previous, std::numeric_limits<std::int32_t>::max());
}

TEST(ApplyButtonFlags, down_then_up_per_button) {
  EXPECT_EQ(apply_button_flags(0, kLeftDown | kRightDown | kMiddleDown), 0x07);
  EXPECT_EQ(apply_button_flags(0x07, kRightUp), 0x05);
  // A release and a new press of the same button in one report end pressed only when it was held.
  EXPECT_EQ(apply_button_flags(button_state::kLeft, kLeftDown | kLeftUp), 0);
  EXPECT_EQ(apply_button_flags(0, kWheel), 0);
}

TEST(ReportTravel, relative_motion_is_its_length_absolute_and_none_are_zero) {
  MouseReport r;
  r.dx = 3;
  r.dy = -4;
  EXPECT_DOUBLE_EQ(report_travel(r), 5.0);
  r.absolute = true;
  EXPECT_DOUBLE_EQ(report_travel(r), 0.0);
  r.absolute = false;
  r.dx = r.dy = 0;
  EXPECT_DOUBLE_EQ(report_travel(r), 0.0);
}

}  // namespace
}  // namespace corvane
