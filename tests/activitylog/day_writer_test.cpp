#include "activitylog/day_writer.h"

#include <gtest/gtest.h>

#include "activitylog/day_file.h"
#include "platform/file_read.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/without_threads.h"

namespace corvane {
namespace {

class DayWriterTest : public ::testing::Test {
 protected:
  DailyActivity load(const std::string& name) { return load_day(folder.path(), name, notifier); }
  void write_text(const std::string& name, const std::string& text) {
    ASSERT_TRUE(write_file_atomically(folder / name, text));
  }

  testing::TempFolder folder;
  testing::RecordingNotifier notifier;
  DayWriter writer{folder.path()};
};

TEST_F(DayWriterTest, save_thread_writes_the_snapshot_under_its_own_date_and_clears_the_flag) {
  DaySnapshot snapshot{2026, 1, 5, {}};
  snapshot.record.clicks[2][7] = 3;
  ASSERT_TRUE(writer.start_save(snapshot));
  writer.wait_until_idle();
  EXPECT_FALSE(writer.save_in_progress());
  EXPECT_EQ(load("20260105.txt").clicks[2][7], 3u);
}

TEST_F(DayWriterTest, snapshot_is_a_copy_the_caller_may_keep_changing) {
  DaySnapshot snapshot{2026, 12, 8, {}};
  snapshot.record.move_counts[4] = 10;
  ASSERT_TRUE(writer.start_save(snapshot));
  snapshot.record.move_counts[4] = 999;  // the live record moves on while the thread writes
  writer.wait_until_idle();
  EXPECT_EQ(load("20261208.txt").move_counts[4], 10u);
}

TEST_F(DayWriterTest, claimed_slot_refuses_periodic_saves) {
  ASSERT_TRUE(writer.claim_save_slot());
  EXPECT_TRUE(writer.save_in_progress());
  EXPECT_FALSE(writer.start_save(DaySnapshot{2026, 12, 8, {}}));
  EXPECT_FALSE(std::filesystem::exists(folder / "20261208.txt"));
}

TEST_F(DayWriterTest, failed_save_is_counted_and_the_old_file_stays_whole) {
  DailyActivity day;
  day.clicks[0][0] = 1;
  ASSERT_TRUE(writer.save_day("20261208.txt", day));
  DayWriter broken(folder / "gone");
  EXPECT_FALSE(broken.save_day("20261208.txt", day));
  EXPECT_EQ(broken.failed_saves(), 1);
  EXPECT_FALSE(broken.last_error().empty());
  EXPECT_EQ(load("20261208.txt").clicks[0][0], 1u);
}

TEST_F(DayWriterTest, without_a_save_thread_the_save_runs_on_the_caller_and_the_slot_is_freed) {
  std::filesystem::permissions(folder.path(), std::filesystem::perms::all);  // the child may be "nobody"
  const int result = testing::run_without_threads([this] {
    DaySnapshot snapshot{2026, 12, 8, {}};
    snapshot.record.clicks[0][10] = 42;
    if (!writer.start_save(snapshot)) return 1;
    if (writer.save_in_progress()) return 2;  // a slot left claimed would stop every later save
    if (!writer.start_save(snapshot)) return 3;
    return 0;
  });
  if (result == testing::kCannotBlockThreads) GTEST_SKIP() << "this machine cannot refuse a thread";
  ASSERT_EQ(result, 0);
  EXPECT_EQ(load("20261208.txt").clicks[0][10], 42u);
}

// The live day's file that could not be read whole (a version we cannot read, a file far too large to
// be a day) goes aside with its bytes intact before the first save puts the new counts in its place.
// Where it cannot go aside, the save is refused and the file stays as it was.
TEST_F(DayWriterTest, live_day_not_read_whole_goes_aside_before_the_first_save_replaces_it) {
  const std::string later_version = R"({"click_h9_b0":500,"log_ver":2})";
  const std::string oversized(kMaxDayFileBytes + 1, ' ');
  write_text("20261208.txt", later_version);
  write_text("20261209.txt", oversized);
  DailyActivity day;
  day.clicks[0][8] = 9;
  const std::pair<std::string, std::string> cases[] = {{"20261208.txt", later_version},
                                                       {"20261209.txt", oversized}};
  for (const auto& [name, original] : cases) {
    EXPECT_EQ(writer.load_live_day(name, notifier).clicks[0][9], 0u) << name;
    ASSERT_TRUE(writer.save_day(name, day)) << name;
    ASSERT_TRUE(writer.save_day(name, day)) << name;  // the new file itself never goes aside
    EXPECT_EQ(read_whole_file(folder / (name + ".damaged")), original) << name;
    EXPECT_EQ(load(name).clicks[0][8], 9u) << name;
  }
  EXPECT_EQ(notifier.messages.size(), 2u);

  write_text("20261210.txt", oversized);
  std::filesystem::create_directories(folder / "20261210.txt.damaged" / "in the way");
  writer.load_live_day("20261210.txt", notifier);
  EXPECT_FALSE(writer.save_day("20261210.txt", day));
  EXPECT_EQ(read_whole_file(folder / "20261210.txt"), oversized);
}

}  // namespace
}  // namespace corvane
