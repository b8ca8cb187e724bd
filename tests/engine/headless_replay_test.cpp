#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "activitylog/day_file.h"
#include "base/file_read.h"
#include "base/path_text.h"
#include "engine/headless.h"
#include "platform/atomic_file.h"
#include "support/child_process.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

const std::filesystem::path kMidnightCapture =
    std::filesystem::path(CORVANE_TEST_DATA_DIR) / "captures/midnight.capture";

// The day files in a folder ("yyyymmdd.txt"); the hosted parts keep other files beside them.
std::set<std::string> day_files_in(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.size() == 12 && name.ends_with(".txt") && name.find_first_not_of("0123456789") == 8)
      names.insert(name);
  }
  return names;
}

DailyActivity day_file(const std::filesystem::path& path) {
  const auto text = read_whole_file(path);
  EXPECT_TRUE(text) << path;
  const DayParse parsed = parse_day(text.value_or(""));
  EXPECT_FALSE(parsed.damage);
  return parsed.record;
}

// What the midnight capture must leave, worked out by hand from its reports.
DailyActivity expected_new_years_eve() {
  DailyActivity d;
  d.clicks[0][23] = 6;  // triple click, left-then-right, a double click across midnight's queue
  d.double_clicks[0][23] = 2;
  d.clicks[1][23] = 1;
  d.clicks[2][23] = 1;
  d.clicks[3][23] = 2;
  d.double_clicks[3][23] = 1;
  d.clicks[4][23] = 1;
  d.move_counts[23] = 13;  // 5 + 1 + 1 (fractions dropped) + 6
  return d;
}

DailyActivity expected_new_years_day() {
  DailyActivity d;
  d.clicks[0][0] = 1;  // the last press, counted by the exit path
  d.clicks[1][0] = 2;
  d.double_clicks[1][0] = 1;
  d.clicks[4][0] = 1;
  d.move_counts[0] = 13;  // 3 + 10
  return d;
}

CommandLine fast_replay(const std::filesystem::path& capture, const std::filesystem::path& data_dir) {
  CommandLine o;
  o.headless = true;
  o.fast = true;
  o.replay = capture;
  o.data_dir = data_dir;
  o.start = LocalDateTime{2026, 12, 31, 23, 58, 30, 0, 4};
  return o;
}

TEST(HeadlessFastReplay, midnight_capture_leaves_exactly_the_two_expected_day_files) {
  TempFolder data;
  std::ostringstream err;
  ASSERT_EQ(run_headless(fast_replay(kMidnightCapture, data.path()), err), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(day_files_in(data.path()), (std::set<std::string>{"20261231.txt", "20270101.txt"}));
  EXPECT_EQ(day_file(data / "20261231.txt"), expected_new_years_eve());
  EXPECT_EQ(day_file(data / "20270101.txt"), expected_new_years_day());
}

TEST(HeadlessFastReplay, same_capture_twice_gives_the_same_bytes) {
  TempFolder a, b;
  std::ostringstream err;
  ASSERT_EQ(run_headless(fast_replay(kMidnightCapture, a.path()), err), 0);
  ASSERT_EQ(run_headless(fast_replay(kMidnightCapture, b.path()), err), 0);
  for (const char* name : {"20261231.txt", "20270101.txt"})
    EXPECT_EQ(read_whole_file(a / name), read_whole_file(b / name)) << name;
}

TEST(HeadlessFastReplay, malformed_line_is_reported_with_file_and_line_and_nothing_runs) {
  TempFolder data;
  const auto capture = data / "broken.capture";
  ASSERT_TRUE(write_file_atomically(capture,
                                    "corvane-capture 1\n"
                                    "0 mouse 0x0000 rel 3 4 0 0 vid_0c45&pid_7e11\n"
                                    "70000 mouse 0x0000 rel 3 4 0 0 vid_0c45&pid_7e11\n"
                                    "70001 mouse 0x0000 rel three 4 0 0 vid_0c45&pid_7e11\n"));
  std::ostringstream err;
  EXPECT_EQ(run_headless(fast_replay(capture, data.path()), err), 2);
  EXPECT_NE(err.str().find("broken.capture:4:"), std::string::npos) << err.str();
  EXPECT_TRUE(day_files_in(data.path()).empty());
}

TEST(HeadlessFastReplay, load_error_of_todays_file_is_printed_as_a_message) {
  TempFolder data;
  ASSERT_TRUE(write_file_atomically(data / "20261231.txt", "not json"));
  const auto capture = data / "empty.capture";
  ASSERT_TRUE(write_file_atomically(capture, "corvane-capture 1\n"));
  std::ostringstream err;
  EXPECT_EQ(run_headless(fast_replay(capture, data.path()), err), 0);
  EXPECT_EQ(err.str(), "message: load error\n");
}

// A user's documents folder may have any name; the damaged file's copy must land beside it, not in a
// garbled folder.
TEST(HeadlessFastReplay, data_folder_with_a_japanese_name_keeps_days_and_the_damaged_copy) {
  TempFolder root;
  const std::filesystem::path data =
      root.path() / std::filesystem::path(u8"データ") / std::filesystem::path(u8"田中");
  std::filesystem::create_directories(data);
  ASSERT_TRUE(write_file_atomically(data / "20261231.txt", "not json"));
  std::ostringstream err;
  ASSERT_EQ(run_headless(fast_replay(kMidnightCapture, data), err), 0) << err.str();
  EXPECT_EQ(read_whole_file(data / "20261231.txt.damaged"), "not json");
  EXPECT_EQ(day_files_in(data), (std::set<std::string>{"20261231.txt", "20270101.txt"}));
  EXPECT_EQ(day_file(data / "20270101.txt"), expected_new_years_day());
}

#ifdef CORVANE_PROGRAM
// The files of the Linux program are kept in data/golden: the program of every system writes these bytes,
// into a folder whatever its name.
TEST(HeadlessFastReplay, the_program_writes_the_day_files_of_every_system_byte_for_byte) {
  TempFolder root;
  const std::filesystem::path data =
      root.path() / std::filesystem::path(u8"データ") / std::filesystem::path(u8"田中");
  ASSERT_EQ(testing::run_program(CORVANE_PROGRAM,
                                 {"--headless", "--replay", path_text(kMidnightCapture), "--fast", "--start",
                                  "2026-12-31T23:58:30", "--data-dir", path_text(data)}),
            0);
  EXPECT_EQ(day_files_in(data), (std::set<std::string>{"20261231.txt", "20270101.txt"}));
  const std::filesystem::path golden = std::filesystem::path(CORVANE_TEST_DATA_DIR) / "golden";
  EXPECT_EQ(read_whole_file(data / "20261231.txt"), read_whole_file(golden / "midnight_20261231.txt"));
  EXPECT_EQ(read_whole_file(data / "20270101.txt"), read_whole_file(golden / "midnight_20270101.txt"));
  EXPECT_EQ(day_file(data / "20261231.txt"), expected_new_years_eve());
}
#endif

// --- virtual time, step by step ---

struct TimeLog final : EngineComponent, SensorListener, EngineListener {
  explicit TimeLog(const Clock& clock) : clock(clock) {}
  bool on_timer(TimerId id) override {
    entries.push_back((id == TimerId::RestAlert ? "rest@" : "timer@") + std::to_string(clock.process_ms()));
    return id == TimerId::RestAlert;
  }
  void on_exit() override { entries.push_back("exit@" + std::to_string(clock.process_ms())); }
  void take_sample_block(std::span<const std::uint8_t, 12>) override {
    entries.push_back("block@" + std::to_string(clock.process_ms()));
  }
  void show_heart_page() override {}
  void on_counters_changed() override { entries.push_back("drain@" + std::to_string(clock.process_ms())); }
  const Clock& clock;
  std::vector<std::string> entries;
};

class VirtualTime : public ::testing::Test {
 protected:
  VirtualTime() {
    engine.add_sensor_listener(log_ref);
    engine.listeners().add(log_ref);
  }
  std::vector<std::string> run(const std::string& capture_text) {
    const Result<std::vector<CaptureEntry>> capture = parse_capture(capture_text, "test");
    if (!capture) {
      ADD_FAILURE() << capture.error().message;
      return {};
    }
    static_cast<void>(run_virtual_replay(engine, clock, timers, *capture));  // the calls are what is compared
    return log_ref.entries;
  }
  static std::string block_at(int t) {
    return std::to_string(t) + " hid 01" + std::string(30, '0').replace(0, 2, "0d");
  }

  TempFolder data;
  ReplayClock clock{LocalDateTime{2026, 12, 8, 10, 0, 0, 0, 2}, ReplayClock::Mode::Virtual};
  TimerQueue timers{clock};
  RecordingNotifier notifier;
  Engine engine{EngineConfig{data.path(), 500}, clock, timers, notifier};
  TimeLog& log_ref = engine.add_component(std::make_unique<TimeLog>(clock));
};

TEST_F(VirtualTime, timers_due_at_or_before_a_report_fire_first_at_their_own_times) {
  const auto log = run("corvane-capture 1\n" + block_at(1600) + "\n" + block_at(1700) + "\n");
  EXPECT_EQ(log, (std::vector<std::string>{"drain@800", "drain@1600", "block@1600", "block@1700",
                                           "drain@1700", "exit@1700"}));
}

TEST_F(VirtualTime, timer_started_by_a_hosted_part_fires_at_its_virtual_due_times) {
  timers.start_timer(TimerId::RestAlert, 300);  // started at t 0 like a part's timer at start-up
  const auto log = run("corvane-capture 1\n" + block_at(1000) + "\n");
  EXPECT_EQ(log, (std::vector<std::string>{"rest@300", "rest@600", "drain@800", "rest@900", "block@1000",
                                           "drain@1000", "exit@1000"}));
}

TEST_F(VirtualTime, empty_capture_starts_and_exits_at_zero) {
  const auto log = run("corvane-capture 1\n");
  EXPECT_EQ(log, (std::vector<std::string>{"drain@0", "exit@0"}));
  EXPECT_EQ(day_files_in(data.path()), std::set<std::string>{"20261208.txt"});
}

}  // namespace
}  // namespace corvane::testing
