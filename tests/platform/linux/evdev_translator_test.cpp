#include "devices/evdev_translator.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "same_input_cases.h"

namespace corvane {
namespace {

namespace bf = button_flags;

input_event ev(std::uint16_t type, std::uint16_t code, std::int32_t value) {
  input_event e{};
  e.type = type;
  e.code = code;
  e.value = value;
  return e;
}
input_event syn() {
  return ev(EV_SYN, SYN_REPORT, 0);
}

class EvdevTranslation : public ::testing::Test {
 protected:
  EvdevTranslator translator{"/sys/devices/x/0003:0C45:7E11.0001/input/input5/event5",
                             VirtualScreen{1000, 800}};

  // Feeds `events`; returns the reports they produced.
  std::vector<MouseReport> feed(std::initializer_list<input_event> events) {
    std::vector<MouseReport> out;
    for (const auto& e : events) {
      if (auto r = translator.feed(e)) out.push_back(*r);
    }
    return out;
  }
};

TEST_F(EvdevTranslation, each_button_press_and_release_maps_to_its_windows_flag) {
  const struct {
    std::uint16_t code;
    std::uint16_t down;
    std::uint16_t up;
  } cases[] = {{BTN_LEFT, bf::kLeftDown, bf::kLeftUp},
               {BTN_RIGHT, bf::kRightDown, bf::kRightUp},
               {BTN_MIDDLE, bf::kMiddleDown, bf::kMiddleUp},
               {BTN_SIDE, bf::kFourthDown, bf::kFourthUp},
               {BTN_EXTRA, bf::kFifthDown, bf::kFifthUp}};
  for (const auto& c : cases) {
    const auto reports =
        feed({ev(EV_MSC, MSC_SCAN, 0x90001), ev(EV_KEY, c.code, 1), syn(), ev(EV_KEY, c.code, 0), syn()});
    ASSERT_EQ(reports.size(), 2u) << c.code;
    EXPECT_EQ(reports[0].button_flags, c.down) << c.code;
    EXPECT_EQ(reports[1].button_flags, c.up) << c.code;
    EXPECT_EQ(reports[0].device_name, "/sys/devices/x/0003:0C45:7E11.0001/input/input5/event5");
  }
}

TEST_F(EvdevTranslation, press_and_release_in_one_group_give_one_report_with_both_flags) {
  const auto reports = feed({ev(EV_KEY, BTN_LEFT, 1), ev(EV_KEY, BTN_LEFT, 0), syn()});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].button_flags, bf::kLeftDown | bf::kLeftUp);
}

TEST_F(EvdevTranslation, other_keys_and_key_repeat_give_no_report) {
  EXPECT_TRUE(feed({ev(EV_KEY, BTN_TASK, 1), syn(), ev(EV_KEY, BTN_LEFT, 2), syn(), ev(EV_MSC, MSC_SCAN, 4),
                    syn(), syn()})
                  .empty());
}

TEST_F(EvdevTranslation, relative_motion_is_summed_per_group_and_moves_the_virtual_cursor) {
  const auto reports = feed({ev(EV_REL, REL_X, 3), ev(EV_REL, REL_X, 4), ev(EV_REL, REL_Y, -5), syn()});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_FALSE(reports[0].absolute);
  EXPECT_EQ(reports[0].dx, 7);
  EXPECT_EQ(reports[0].dy, -5);
  EXPECT_EQ(reports[0].cursor_x, 500 + 7);  // the cursor starts in the middle of the screen
  EXPECT_EQ(reports[0].cursor_y, 400 - 5);
}

TEST_F(EvdevTranslation, virtual_cursor_stops_at_the_screen_edges) {
  auto reports = feed({ev(EV_REL, REL_X, -100000), ev(EV_REL, REL_Y, 100000), syn()});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].dx, -100000);  // the motion itself is reported whole
  EXPECT_EQ(reports[0].cursor_x, 0);
  EXPECT_EQ(reports[0].cursor_y, 799);
  reports = feed({ev(EV_REL, REL_X, 10), syn()});
  EXPECT_EQ(reports[0].cursor_x, 10);
}

TEST_F(EvdevTranslation, wheel_sets_the_wheel_flag_without_motion) {
  const auto reports = feed({ev(EV_REL, REL_WHEEL, -1), ev(EV_REL, REL_WHEEL_HI_RES, -120), syn()});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].button_flags, bf::kWheel);
  EXPECT_EQ(reports[0].dx, 0);
  EXPECT_EQ(reports[0].dy, 0);
}

TEST_F(EvdevTranslation, absolute_motion_is_normalized_like_windows_and_places_the_cursor) {
  translator.set_absolute_range(ABS_X, 0, 4000);
  translator.set_absolute_range(ABS_Y, 100, 300);
  auto reports = feed({ev(EV_ABS, ABS_X, 2000), ev(EV_ABS, ABS_Y, 300), syn()});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].absolute);
  EXPECT_EQ(reports[0].dx, 32767);
  EXPECT_EQ(reports[0].dy, 65535);
  EXPECT_EQ(reports[0].cursor_x, 499);
  EXPECT_EQ(reports[0].cursor_y, 799);
  // An axis left out of a group keeps its last position.
  reports = feed({ev(EV_ABS, ABS_X, 0), syn()});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].dx, 0);
  EXPECT_EQ(reports[0].dy, 65535);
}

TEST_F(EvdevTranslation, dropped_group_is_forgotten_and_the_next_group_stands_alone) {
  feed({ev(EV_KEY, BTN_LEFT, 1), ev(EV_REL, REL_X, 9)});
  translator.drop_group();
  // What libevdev hands out after SYN_DROPPED: the state difference as a group of its own.
  const auto reports = feed({ev(EV_KEY, BTN_RIGHT, 1), syn()});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].button_flags, bf::kRightDown);
  EXPECT_EQ(reports[0].dx, 0);
}

TEST_F(EvdevTranslation, zero_motion_group_gives_no_report) {
  EXPECT_TRUE(feed({ev(EV_REL, REL_X, 5), ev(EV_REL, REL_X, -5), syn()}).empty());
}

TEST_F(EvdevTranslation, evdev_groups_give_the_reports_raw_input_gives_for_the_same_input) {
  translator.set_absolute_range(ABS_X, 0, 4000);
  translator.set_absolute_range(ABS_Y, 100, 300);
  const std::map<std::string, std::vector<input_event>> groups = {
      {"left press", {ev(EV_KEY, BTN_LEFT, 1), syn()}},
      {"left release", {ev(EV_KEY, BTN_LEFT, 0), syn()}},
      {"right press and release at once", {ev(EV_KEY, BTN_RIGHT, 1), ev(EV_KEY, BTN_RIGHT, 0), syn()}},
      {"middle and both side buttons pressed",
       {ev(EV_KEY, BTN_MIDDLE, 1), ev(EV_KEY, BTN_SIDE, 1), ev(EV_KEY, BTN_EXTRA, 1), syn()}},
      {"side buttons released while moving",
       {ev(EV_KEY, BTN_SIDE, 0), ev(EV_KEY, BTN_EXTRA, 0), ev(EV_REL, REL_X, -3), ev(EV_REL, REL_Y, 2),
        syn()}},
      {"wheel turned towards the user",
       {ev(EV_REL, REL_WHEEL, -1), ev(EV_REL, REL_WHEEL_HI_RES, -120), syn()}},
      {"horizontal wheel", {ev(EV_REL, REL_HWHEEL, 1), syn()}},
      {"relative motion", {ev(EV_REL, REL_X, 7), ev(EV_REL, REL_Y, -5), syn()}},
      {"absolute motion", {ev(EV_ABS, ABS_X, 2000), ev(EV_ABS, ABS_Y, 300), syn()}},
      {"motion that cancels out", {ev(EV_REL, REL_X, 5), ev(EV_REL, REL_X, -5), syn()}},
  };
  for (const auto& c : same_input::kMouseCases) {
    ASSERT_TRUE(groups.contains(c.name)) << c.name;
    std::vector<MouseReport> reports;
    for (const input_event& e : groups.at(c.name))
      if (auto r = translator.feed(e)) reports.push_back(*r);
    ASSERT_EQ(reports.size(), c.expected ? 1u : 0u) << c.name;
    if (!c.expected) continue;
    EXPECT_EQ(reports[0].button_flags, c.expected->button_flags) << c.name;
    EXPECT_EQ(reports[0].absolute, c.expected->absolute) << c.name;
    EXPECT_EQ(reports[0].dx, c.expected->dx) << c.name;
    EXPECT_EQ(reports[0].dy, c.expected->dy) << c.name;
  }
}

}  // namespace
}  // namespace corvane
