#include "heart/heart_log.h"

#include <gtest/gtest.h>

#include "heart/heart_rate_list.h"
#include "platform/file_read.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

HeartLog entry(int bpm, int minute) {
  return make_heart_log(bpm, to_local_timestamp(2026, 12, 8, 9, minute));
}

TEST(HeartLogFile, two_entries_serialize_compactly_with_keys_in_byte_order) {
  const std::vector<HeartLog> list = {make_heart_log(72, 1796721300), make_heart_log(65, 1796720000)};
  EXPECT_EQ(
      serialize_heart_log(list),
      R"({"heartRate_0":72,"heartRate_1":65,"heart_log_ver":2,"logTime_0":1796721300,"logTime_1":1796720000})");
  EXPECT_EQ(serialize_heart_log({}), R"({"heart_log_ver":2})");
}

TEST(HeartLogFile, entry_text_is_date_and_minute_of_its_time) {
  EXPECT_EQ(heart_log_text(to_local_timestamp(2026, 3, 7, 8, 5, 59)), "2026/03/07 08:05");
  EXPECT_EQ(make_heart_log(70, to_local_timestamp(2027, 1, 1)).text, "2027/01/01 00:00");
}

TEST(HeartLogFile, other_versions_and_damaged_texts_load_empty) {
  for (const char* text :
       {R"({"heart_log_ver":1,"heartRate_0":72,"logTime_0":5})", R"({"heartRate_0":72,"logTime_0":5})",
        R"({"heart_log_ver":"2","heartRate_0":72,"logTime_0":5})", "",
        R"({"heart_log_ver":2,"heartRate_0":72,"logTime_0":5)", "[2,72,5]"})
    EXPECT_TRUE(parse_heart_log(text).empty()) << text;
}

TEST(HeartLogFile, bpm_40_is_dropped_and_41_kept) {
  const auto list = parse_heart_log(R"({"heart_log_ver":2,"heartRate_0":40,"logTime_0":100,)"
                                    R"("heartRate_1":41,"logTime_1":200,"heartRate_2":-3,"logTime_2":300})");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].bpm, 41);
  EXPECT_EQ(list[0].time, 200);
}

TEST(HeartLogFile, loading_stops_at_the_first_missing_or_unreadable_pair) {
  auto list = parse_heart_log(R"({"heart_log_ver":2,"heartRate_0":70,"logTime_0":1,)"
                              R"("heartRate_1":71,"heartRate_2":72,"logTime_2":3})");
  ASSERT_EQ(list.size(), 1u);
  list = parse_heart_log(R"({"heart_log_ver":2,"heartRate_0":70,"logTime_0":1,)"
                         R"("heartRate_1":"71","logTime_1":2,"heartRate_2":72,"logTime_2":3})");
  ASSERT_EQ(list.size(), 1u);
  list = parse_heart_log(R"({"heart_log_ver":2,"heartRate_0":70,"logTime_0":1,)"
                         R"("heartRate_1":4294967368,"logTime_1":2})");
  ASSERT_EQ(list.size(), 1u) << "a bpm beyond 32 bits is unreadable, not wrapped to 72";
}

class HeartRateListFile : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
  testing::RecordingNotifier notifier_;
  HeartRateList list_{folder_.path(), notifier_};
};

TEST_F(HeartRateListFile, missing_file_loads_empty) {
  list_.load();
  EXPECT_EQ(list_.size(), 0u);
  EXPECT_FALSE(list_.newest());
}

TEST_F(HeartRateListFile, add_puts_the_newest_first_and_saves_the_whole_list) {
  ASSERT_TRUE(list_.add(entry(70, 1)));
  ASSERT_TRUE(list_.add(entry(75, 2)));
  EXPECT_EQ(list_.newest()->bpm, 75);
  HeartRateList reloaded(folder_.path(), notifier_);
  reloaded.load();
  EXPECT_EQ(reloaded.entries(), list_.entries());
  EXPECT_EQ(reloaded.entries()[1].text, "2026/12/08 09:01");
}

TEST_F(HeartRateListFile, list_of_35_comes_back_whole_after_a_restart) {
  for (int i = 0; i < 35; ++i)
    ASSERT_TRUE(list_.add(entry(50 + i, i)));
  HeartRateList restarted(folder_.path(), notifier_);
  restarted.load();
  ASSERT_EQ(restarted.size(), 35u);
  EXPECT_EQ(restarted.entries(), list_.entries());
  EXPECT_EQ(restarted.entries().back().bpm, 50);
  // A save after the restart keeps all 35.
  ASSERT_TRUE(restarted.add(entry(90, 59)));
  HeartRateList again(folder_.path(), notifier_);
  again.load();
  EXPECT_EQ(again.size(), 36u);
}

TEST_F(HeartRateListFile, deleted_entry_stays_deleted_after_a_reload) {
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(list_.add(entry(60 + i, i)));
  ASSERT_TRUE(list_.remove(1));
  list_.load();
  ASSERT_EQ(list_.size(), 2u);
  EXPECT_EQ(list_.entries()[0].bpm, 62);
  EXPECT_EQ(list_.entries()[1].bpm, 60);
}

TEST_F(HeartRateListFile, damaged_file_is_kept_aside_before_the_next_result_replaces_it) {
  const std::string damaged = R"({"heart_log_ver":2,"heartRate_0":70,"logTi)";
  ASSERT_TRUE(write_file_atomically(list_.file(), damaged));
  list_.load();
  EXPECT_EQ(list_.size(), 0u);
  ASSERT_TRUE(list_.add(entry(65, 1)));
  EXPECT_EQ(read_whole_file(list_.file().string() + ".damaged"), damaged);
}

// A list read only in part keeps what was read and says so once, however often the page reloads it; the
// next result moves the file aside, bytes intact, before the shorter list replaces it.
TEST_F(HeartRateListFile, list_read_in_part_is_reported_once_and_kept_aside_before_the_next_save) {
  const std::string damaged = list_.file().string() + ".damaged";
  const std::pair<std::string, std::size_t> cases[] = {
      {R"({"heartRate_0":70,"heartRate_1":"72","heartRate_2":75,"heart_log_ver":2,)"
       R"("logTime_0":1796721300,"logTime_1":1796720000,"logTime_2":1796710000})",
       1},
      {R"({"heartRate_0":72,"heart_log_ver":1,"logTime_0":1796721300})", 0}};
  for (const auto& [text, readable] : cases) {
    notifier_.messages.clear();
    ASSERT_TRUE(write_file_atomically(list_.file(), text));
    list_.load();
    list_.load();
    EXPECT_EQ(list_.size(), readable) << text;
    EXPECT_EQ(notifier_.messages.size(), 1u) << text;
    ASSERT_TRUE(list_.add(entry(65, 1)));
    EXPECT_EQ(read_whole_file(damaged), text);
    list_.load();
    EXPECT_EQ(list_.size(), readable + 1) << text;
    EXPECT_EQ(notifier_.messages.size(), 1u) << text;
  }
}

TEST_F(HeartRateListFile, removing_past_the_end_changes_nothing) {
  ASSERT_TRUE(list_.add(entry(60, 0)));
  EXPECT_FALSE(list_.remove(1));
  list_.load();
  EXPECT_EQ(list_.size(), 1u);
}

TEST_F(HeartRateListFile, unwritable_folder_reports_the_failed_save) {
  HeartRateList nowhere(folder_.path() / "missing" / "deeper", notifier_);
  const Result<void> r = nowhere.add(entry(70, 0));
  EXPECT_FALSE(r);
  EXPECT_FALSE(r.error().message.empty());
  EXPECT_EQ(nowhere.size(), 1u) << "the result stays in memory";
}

}  // namespace
}  // namespace corvane
