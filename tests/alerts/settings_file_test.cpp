#include "alerts/settings_file.h"

#include <gtest/gtest.h>

#include "platform/file_read.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(AlertSettingsFile, missing_file_reads_all_defaults) {
  testing::TempFolder folder;
  const StoredAlertSettings s = load_alert_settings_file(folder.path());
  EXPECT_EQ(s, StoredAlertSettings{});
  EXPECT_EQ(s.ab_count, 0);
  EXPECT_EQ(s.check_bt, 0);
  EXPECT_EQ(s.msg, "");
  EXPECT_EQ(s.hr_hour_count, 0);
  for (int h : s.hr_hour)
    EXPECT_EQ(h, -1);
}

TEST(AlertSettingsFile, every_key_is_read_under_its_name) {
  std::string text = "[ALERT]\n";
  const char* numbers[] = {
      "lb_time1",      "lb_time2",          "ab_time",       "lb_count1",     "rb_count",
      "ab_count",      "move_time",         "move_distance", "bpm",           "check_bt",
      "check_move",    "check_bpm",         "check_msg1",    "check_msg2",    "check_alert_hr_opt",
      "check_hr_hour", "check_hr_everyday", "check_hr_day0", "check_hr_day1", "check_hr_day2",
      "check_hr_day3", "check_hr_day4",     "check_hr_day5", "check_hr_day6", "check_hr_msg",
      "hr_hour_count", "hr_hour1",          "hr_hour2",      "hr_hour3",      "hr_hour4",
      "hr_hour5",      "hr_hour6",          "hr_hour7",      "hr_hour8",      "hr_hour9",
      "hr_hour10",     "hr_hour11",         "hr_hour12"};
  int value = 100;
  for (const char* key : numbers)
    text += std::string(key) + "=" + std::to_string(value++) + "\n";
  text += "msg=休憩\nmsg_hr=測定\n";
  const StoredAlertSettings s = read_alert_settings(IniFile::parse(text));
  const int expected[] = {s.lb_time1,        s.lb_time2,          s.ab_time,
                          s.lb_count1,       s.rb_count,          s.ab_count,
                          s.move_time,       s.move_distance,     s.bpm,
                          s.check_bt,        s.check_move,        s.check_bpm,
                          s.check_msg1,      s.check_msg2,        s.check_alert_hr_opt,
                          s.check_hr_hour,   s.check_hr_everyday, s.check_hr_day[0],
                          s.check_hr_day[1], s.check_hr_day[2],   s.check_hr_day[3],
                          s.check_hr_day[4], s.check_hr_day[5],   s.check_hr_day[6],
                          s.check_hr_msg,    s.hr_hour_count,     s.hr_hour[0],
                          s.hr_hour[1],      s.hr_hour[2],        s.hr_hour[3],
                          s.hr_hour[4],      s.hr_hour[5],        s.hr_hour[6],
                          s.hr_hour[7],      s.hr_hour[8],        s.hr_hour[9],
                          s.hr_hour[10],     s.hr_hour[11]};
  for (int i = 0; i < static_cast<int>(std::size(expected)); ++i)
    EXPECT_EQ(expected[i], 100 + i) << numbers[i];
  EXPECT_EQ(s.msg, "休憩");
  EXPECT_EQ(s.msg_hr, "測定");
}

TEST(AlertSettingsFile, save_writes_every_key_and_keeps_the_device_id) {
  testing::TempFolder folder;
  ASSERT_TRUE(write_file_atomically(folder / "set.ini", "[ARG]\nid=1234567890123456\n[Alert]\nold_key=1\n"));
  StoredAlertSettings s;
  s.ab_count = 300;
  s.ab_time = 2;
  s.check_bt = 1;
  s.move_distance = -4;  // no range test on writing
  s.check_hr_day[3] = 1;
  s.hr_hour_count = 3;
  s.hr_hour = {9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, 23};
  s.msg = "そろそろ休憩";
  ASSERT_TRUE(save_alert_settings_file(folder.path(), s));
  EXPECT_EQ(load_alert_settings_file(folder.path()), s);
  const std::string text = *read_whole_file(folder / "set.ini");
  EXPECT_EQ(text.rfind("[ARG]\nid=1234567890123456\n[Alert]\nold_key=1\nlb_time1=0\n", 0), 0u) << text;
  EXPECT_NE(text.find("\nmove_distance=-4\n"), std::string::npos);
  EXPECT_NE(text.find("\nhr_hour12=23\n"), std::string::npos);
  EXPECT_NE(text.find("\ncheck_hr_day3=1\n"), std::string::npos);
  EXPECT_NE(text.find("\nmsg=そろそろ休憩\n"), std::string::npos);
}

TEST(AlertSettingsFile, messages_are_cut_at_a_thousand_characters) {
  std::string long_text;
  for (int i = 0; i < 1005; ++i)
    long_text += "あ";  // three bytes each
  IniFile ini;
  ini.set_string("Alert", "msg", long_text);
  const StoredAlertSettings s = read_alert_settings(ini);
  EXPECT_EQ(s.msg.size(), 3000u);
  EXPECT_EQ(truncate_utf8("abc", 1000), "abc");
  EXPECT_EQ(truncate_utf8("aあb", 2), "aあ");
}

}  // namespace
}  // namespace corvane
