// The program without windows: the hourly upload and the rest alert in a fast replay, and the
// --export-csv command.
#include "engine/headless.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "activitylog/day_file.h"
#include "alerts/ini_file.h"
#include "base/file_read.h"
#include "engine/command_line.h"
#include "export/upload_tool_starts.h"
#include "heart/heart_log.h"
#include "support/environment.h"
#include "support/loopback_http.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::closed_port_url;
using testing::recorded_starts;
using testing::TempFolder;

constexpr const char* kSensorMouse =
    R"(\\?\hid#vid_0c45&pid_7e11&mi_00#8&1f0e3c2a&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91e6bf6})";
constexpr const char* kRestMessage = "message: パソコンの操作時間が長くなっています。休憩しましょう。\n";

std::string mouse(int t_ms, const char* flags, int x = 100, int y = 100, int dx = 0, int dy = 0) {
  std::ostringstream line;
  line << t_ms << " mouse " << flags << " rel " << dx << ' ' << dy << ' ' << x << ' ' << y << ' '
       << kSensorMouse << '\n';
  return line.str();
}

// A loopback port nobody listens on, so the first start's registration fails at once and stays local.
class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::set_environment("CORVANE_UPLOAD_TOOL", BRALLOW_STUB_PATH);
    testing::set_environment("BRALLOW_STUB_RECORD", record.string());
    testing::set_environment("CORVANE_REGISTRATION_URL", closed_port_url());
  }
  void TearDown() override {
    testing::unset_environment("CORVANE_UPLOAD_TOOL");
    testing::unset_environment("BRALLOW_STUB_RECORD");
    testing::unset_environment("CORVANE_REGISTRATION_URL");
  }
  int replay(const std::string& capture_body, const LocalDateTime& start) {
    const auto capture = scratch / "test.capture";
    EXPECT_TRUE(write_file_atomically(capture, "corvane-capture 1\n" + capture_body));
    CommandLine o;
    o.headless = true;
    o.fast = true;
    o.replay = capture;
    o.data_dir = data.path();
    o.start = start;
    return run_headless(o, err);
  }

  TempFolder data;
  TempFolder scratch;
  std::filesystem::path record = scratch / "starts.jsonl";
  std::ostringstream err;
};

TEST_F(HeadlessTest, fast_replay_across_minute_three_writes_upload_file_and_starts_the_tool_once) {
  std::string capture;
  capture += mouse(1000, "0x0001", 10, 10);
  capture += mouse(1100, "0x0002", 10, 10);
  capture += mouse(2000, "0x0000", 10, 10, 30, 40);  // 50 counts of travel
  for (int t = 10'000; t <= 240'000; t += 10'000)
    capture += mouse(t, "0x0000", 10, 10);  // until 10:06:30
  ASSERT_EQ(replay(capture, {2026, 12, 8, 10, 2, 30, 0, 2}), 0) << err.str();

  const std::string id = read_profile_string(data / "set.ini", "arg", "id", "");
  ASSERT_EQ(id.size(), 16u);
  const auto starts = recorded_starts(record, 1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], (std::vector<std::string>{"_upload", id, (data / "upload.json").string()}));

  const auto upload = nlohmann::json::parse(*read_whole_file(data / "upload.json"));
  const auto& ten = upload["mouse_log"][std::to_string(to_local_timestamp(2026, 12, 8, 10))];
  EXPECT_EQ(ten["click_l_s"], 1);
  EXPECT_EQ(ten["move_pixel"], 50);
  EXPECT_FALSE(upload.contains("heart_rate_log"));
  EXPECT_EQ(err.str(), "");
}

TEST_F(HeadlessTest, fast_replay_before_minute_three_starts_no_upload) {
  ASSERT_EQ(replay(mouse(50'000, "0x0000", 1, 1, 3, 4), {2026, 12, 8, 10, 1, 0, 0, 2}), 0) << err.str();
  EXPECT_FALSE(std::filesystem::exists(data / "upload.json"));
  EXPECT_FALSE(std::filesystem::exists(record));
}

TEST_F(HeadlessTest, clicks_beyond_the_limit_inside_the_window_print_the_rest_message_once) {
  ASSERT_TRUE(write_file_atomically(data / "set.ini", "[Alert]\ncheck_bt=1\nab_count=5\nab_time=1\n"));
  std::string capture;
  for (int i = 0; i < 9; ++i) {  // the sixth press is beyond the limit; three more stay under it again
    capture += mouse(1000 + 300 * i, "0x0001", 10 * i, 10);
    capture += mouse(1100 + 300 * i, "0x0002", 10 * i, 10);
  }
  capture += mouse(20'000, "0x0000", 1, 1);
  ASSERT_EQ(replay(capture, {2026, 12, 8, 10, 10, 0, 0, 2}), 0) << err.str();
  EXPECT_EQ(err.str(), kRestMessage);
}

TEST_F(HeadlessTest, clicks_under_the_limit_print_nothing) {
  ASSERT_TRUE(write_file_atomically(data / "set.ini", "[Alert]\ncheck_bt=1\nab_count=5\nab_time=1\n"));
  std::string capture;
  for (int i = 0; i < 5; ++i) {
    capture += mouse(1000 + 300 * i, "0x0001", 10 * i, 10);
    capture += mouse(1100 + 300 * i, "0x0002", 10 * i, 10);
  }
  capture += mouse(20'000, "0x0000", 1, 1);
  ASSERT_EQ(replay(capture, {2026, 12, 8, 10, 10, 0, 0, 2}), 0) << err.str();
  EXPECT_EQ(err.str(), "");
}

TEST_F(HeadlessTest, export_csv_command_writes_the_export_of_the_data_folder) {
  DailyActivity day;
  day.clicks[0][9] = 3;
  day.clicks[4][9] = 1;
  day.move_counts[9] = 1600;
  ASSERT_TRUE(write_file_atomically(data / "20261207.txt", serialize_day(day)));
  ASSERT_TRUE(write_file_atomically(
      data / "HeartRateLog.txt",
      serialize_heart_log({make_heart_log(72, to_local_timestamp(2026, 12, 8, 9, 5))})));
  const std::string out = (scratch / "out.csv").string();
  const std::string dir = data.path().string();
  const std::vector<std::string_view> args{"--export-csv",       out, "--data-dir", dir, "--start",
                                           "2026-12-08T12:00:00"};
  const Result<CommandLine> parsed = parse_command_line(args);
  ASSERT_TRUE(parsed) << parsed.error().message;
  ASSERT_EQ(run_headless(*parsed, err), 0) << err.str();
  EXPECT_EQ(read_whole_file(out),
            "Heart rate history\n----------------------------\nDate , Heart rate\n"
            "2026/12/08 09:05,72\n"
            "\n\nMouse state:\n----------------------\n"
            "\n\nDate , left click , right click , wheel click , side1 click , side2 click, distance(m)\n"
            "2026/12/07,3,0,0,0,1,0.0254\n");
  // Exporting touches nothing in the data folder: no ID, no upload file.
  EXPECT_FALSE(std::filesystem::exists(data / "set.ini"));
  EXPECT_FALSE(std::filesystem::exists(data / "upload.json"));
}

TEST_F(HeadlessTest, export_csv_command_unwritable_path_fails) {
  const std::string out = (scratch / "no-such-folder" / "out.csv").string();
  const std::string dir = data.path().string();
  const std::vector<std::string_view> args{"--export-csv", out, "--data-dir", dir};
  const Result<CommandLine> parsed = parse_command_line(args);
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ(run_headless(*parsed, err), 1);
  EXPECT_NE(err.str().find("message: error\n"), std::string::npos) << err.str();
}

TEST(ExportCsvOption, needs_a_path_and_no_capture) {
  const std::vector<std::string_view> no_path{"--export-csv"};
  EXPECT_FALSE(parse_command_line(no_path));
  const std::vector<std::string_view> with_replay{"--export-csv", "x.csv", "--replay", "a.capture"};
  EXPECT_FALSE(parse_command_line(with_replay));
  const std::vector<std::string_view> ok{"--export-csv", "x.csv"};
  const Result<CommandLine> parsed = parse_command_line(ok);
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(parsed->headless);
  EXPECT_EQ(parsed->export_csv, std::filesystem::path("x.csv"));
}

}  // namespace
}  // namespace corvane
