#include "export/csv_export.h"

#include <gtest/gtest.h>

#include "activitylog/day_file.h"
#include "platform/file_read.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

constexpr const char* kHeaders =
    "Heart rate history\n----------------------------\nDate , Heart rate\n"
    "\n\nMouse state:\n----------------------\n"
    "\n\nDate , left click , right click , wheel click , side1 click , side2 click, distance(m)\n";

const LocalDateTime kToday{2026, 12, 8, 15, 30, 0, 0, 2};

class CsvExportTest : public ::testing::Test {
 protected:
  void write_day(const LocalDateTime& date, const DailyActivity& day) {
    ASSERT_TRUE(write_file_atomically(folder / day_file_name(date), serialize_day(day)));
  }
  testing::TempFolder folder;
  testing::RecordingNotifier notifier;
};

TEST_F(CsvExportTest, empty_history_and_no_days_writes_only_the_headers) {
  EXPECT_EQ(build_csv_export({}, folder.path(), kToday, notifier), kHeaders);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(CsvExportTest, history_lines_then_days_newest_first) {
  DailyActivity today;
  today.clicks[0][9] = 10;
  today.clicks[0][10] = 5;
  today.clicks[1][3] = 2;
  today.clicks[2][0] = 1;
  today.clicks[3][23] = 7;
  today.clicks[4][12] = 4;
  today.double_clicks[0][9] = 3;  // double clicks are not summed
  today.move_counts[0] = 1000;
  today.move_counts[1] = 600;  // 1600 counts: one inch
  write_day(kToday, today);
  DailyActivity earlier;
  earlier.move_counts[5] = 62992;
  write_day(add_days(kToday, -2), earlier);
  const std::vector<HeartLog> log = {{72, 0, "2026/12/08 09:01"}, {65, 0, "2026/12/07 22:15"}};
  EXPECT_EQ(build_csv_export(log, folder.path(), kToday, notifier),
            "Heart rate history\n----------------------------\nDate , Heart rate\n"
            "2026/12/08 09:01,72\n2026/12/07 22:15,65\n"
            "\n\nMouse state:\n----------------------\n"
            "\n\nDate , left click , right click , wheel click , side1 click , side2 click, distance(m)\n"
            "2026/12/08,15,2,1,7,4,0.0254\n"
            "2026/12/06,0,0,0,0,0,0.999998\n");
}

TEST_F(CsvExportTest, distance_uses_six_significant_digits) {
  DailyActivity day;
  for (int h = 0; h < 24; ++h)
    day.move_counts[h] = 123457;
  write_day(kToday, day);
  const std::string csv = build_csv_export({}, folder.path(), kToday, notifier);
  EXPECT_NE(csv.find("\n2026/12/08,0,0,0,0,0,47.0371\n"), std::string::npos) << csv;
}

TEST_F(CsvExportTest, covers_ninety_days_across_month_and_year_ends) {
  const LocalDateTime today{2027, 1, 15, 8, 0, 0, 0, 5};
  write_day(add_days(today, -89), DailyActivity{});  // 2026-10-18: the oldest day exported
  write_day(add_days(today, -90), DailyActivity{});  // one day too old
  write_day(add_days(today, -15), DailyActivity{});  // 2026-12-31
  EXPECT_EQ(build_csv_export({}, folder.path(), today, notifier),
            std::string(kHeaders) + "2026/12/31,0,0,0,0,0,0\n2026/10/18,0,0,0,0,0,0\n");
}

TEST_F(CsvExportTest, corrupt_day_file_is_reported_and_exported_as_loaded) {
  ASSERT_TRUE(write_file_atomically(folder / day_file_name(kToday), "{\"log_ver\":1,"));
  const std::string csv = build_csv_export({}, folder.path(), kToday, notifier);
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"load error"});
  EXPECT_EQ(csv, std::string(kHeaders) + "2026/12/08,0,0,0,0,0,0\n");
}

TEST_F(CsvExportTest, export_writes_the_file_or_reports_error) {
  const auto out = folder / "out.csv";
  ASSERT_TRUE(export_csv({}, folder.path(), kToday, out, notifier));
  EXPECT_EQ(read_whole_file(out), kHeaders);
  EXPECT_FALSE(export_csv({}, folder.path(), kToday, folder / "missing-folder" / "out.csv", notifier));
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"error"});
}

TEST(CsvExportName, proposed_name_carries_todays_date) {
  EXPECT_EQ(default_export_name({2026, 3, 5, 0, 0, 0, 0, 4}), "heartrate_2026-03-05");
}

}  // namespace
}  // namespace corvane
