#include "activitylog/day_writer.h"

#include <gtest/gtest.h>

#include "activitylog/day_file.h"
#include "base/file_read.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/without_threads.h"

namespace corvane {
namespace {

class DayWriterTest : public ::testing::Test {
 protected:
  DailyActivity load(const std::string& name) { return load_day(folder.path(), name, notifier); }

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

}  // namespace
}  // namespace corvane
