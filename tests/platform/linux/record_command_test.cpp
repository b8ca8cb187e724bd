// corvane-capture record: the recorder's capture text, and the command against the mocked sensor mouse.
#include "record_command.h"

#include <gtest/gtest.h>
#include <linux/input.h>

#include <sstream>
#include <string>
#include <vector>

#include "mocked_devices.h"
#include "replay/capture.h"

namespace corvane {
namespace {

using namespace umockdev_testing;

TEST(CaptureRecorder, reports_become_a_capture_that_reads_back_the_same) {
  std::int64_t now = 5000;
  CaptureRecorder recorder([&] { return now; });
  MouseReport mouse;
  mouse.device_name = "/sys/devices/x/0003:0C45:7E11.0001/input/input5/event5";
  mouse.button_flags = button_flags::kFourthDown;
  mouse.dx = -3;
  mouse.dy = 4;
  mouse.cursor_x = 100;
  mouse.cursor_y = 200;
  now = 5010;
  recorder.on_mouse_report(mouse);
  recorder.note("device added\nsecond line");
  now = 5250;
  recorder.on_hid_report(HidReport{"/sys/devices/x/hidraw1", {0x01, 0x0D, 0xFF}});

  const auto parsed = parse_capture(recorder.text(), "recorded");
  ASSERT_TRUE(parsed) << parsed.error().message << "\n" << recorder.text();
  ASSERT_EQ(parsed->size(), 2u);
  EXPECT_EQ((*parsed)[0].t_ms, 10);
  const auto& m = std::get<MouseReport>((*parsed)[0].report);
  EXPECT_EQ(m.device_name, mouse.device_name);
  EXPECT_EQ(m.button_flags, mouse.button_flags);
  EXPECT_EQ(m.dx, -3);
  EXPECT_EQ(m.cursor_y, 200);
  EXPECT_EQ((*parsed)[1].t_ms, 250);
  EXPECT_EQ(std::get<HidReport>((*parsed)[1].report).bytes, (std::vector<std::uint8_t>{0x01, 0x0D, 0xFF}));
  EXPECT_EQ(recorder.report_count(), 2u);
}

TEST(CaptureRecorder, clock_going_back_never_makes_times_decrease) {
  std::int64_t now = 1000;
  CaptureRecorder recorder([&] { return now; });
  now = 1300;
  recorder.on_hid_report(HidReport{"n", {0x01}});
  now = 1200;
  recorder.on_hid_report(HidReport{"n", {0x02}});
  const auto parsed = parse_capture(recorder.text(), "recorded");
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ((*parsed)[1].t_ms, 300);
}

TEST(RecordCommandArguments, missing_or_bad_arguments_are_refused_without_recording) {
  std::ostringstream err;
  EXPECT_EQ(run_record_command({}, err), 2);
  EXPECT_EQ(run_record_command({"out.txt", "--seconds"}, err), 2);
  EXPECT_EQ(run_record_command({"out.txt", "--seconds", "-1"}, err), 2);
  EXPECT_EQ(run_record_command({"out.txt", "--seconds", "1x"}, err), 2);
  EXPECT_EQ(run_record_command({"out.txt", "other.txt"}, err), 2);
  EXPECT_NE(err.str().find("usage: corvane-capture record OUTPUT"), std::string::npos);
  EXPECT_EQ(run_record_command({"--help"}, err), 0);
}

using RecordCommand = MockedDevicesTest;

TEST_F(RecordCommand, records_the_sensor_mouse_and_not_the_other_one_into_a_capture) {
  plug_other_mouse();
  plug_sensor_mouse({}, evemu(0.05, EV_KEY, BTN_EXTRA, 1) + evemu(0.05, EV_SYN, SYN_REPORT, 0),
                    "r 100 ^A^M^A^B^C\n", "");
  const auto output = (folder_ / "capture.txt").string();
  std::ostringstream err;
  ASSERT_EQ(run_record_command({output, "--seconds", "1"}, err), 0) << err.str();

  const auto parsed = read_capture(output);
  ASSERT_TRUE(parsed) << parsed.error().message;
  ASSERT_EQ(parsed->size(), 2u) << err.str();
  const auto& mouse = std::get<MouseReport>((*parsed)[0].report);
  EXPECT_EQ(mouse.button_flags, button_flags::kFifthDown);
  EXPECT_TRUE(is_sensor_mouse_name(mouse.device_name));
  EXPECT_EQ(std::get<HidReport>((*parsed)[1].report).bytes.size(), 16u);
  EXPECT_LE((*parsed)[0].t_ms, (*parsed)[1].t_ms);
}

}  // namespace
}  // namespace corvane
