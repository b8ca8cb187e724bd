#include "activitylog/day_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/file_read.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

std::string golden(const std::string& name) {
  return read_whole_file(std::filesystem::path(CORVANE_TEST_DATA_DIR) / "golden" / name).value();
}

DailyActivity known_day() {
  DailyActivity day;
  day.clicks[0][9] = 5;
  day.clicks[0][10] = 7;
  day.clicks[4][23] = 4294967295u;
  day.double_clicks[1][13] = 2;
  day.move_counts[0] = 62992;
  day.move_counts[23] = 1;
  return day;
}

void write_text(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// ---- the bytes of the file ------------------------------------------------------------------------

TEST(DayFileFormat, known_day_serialises_to_the_golden_bytes) {
  EXPECT_EQ(serialize_day(known_day()), golden("day_known.txt"));
}

TEST(DayFileFormat, empty_day_still_holds_all_265_members_in_byte_order) {
  const std::string text = serialize_day(DailyActivity{});
  EXPECT_EQ(text, golden("day_empty.txt"));
  const auto object = nlohmann::json::parse(text);
  EXPECT_EQ(object.size(), 265u);
  EXPECT_LT(text.find("\"click_h10_b0\""), text.find("\"click_h1_b0\""));
  EXPECT_EQ(text.substr(text.size() - 12), "\"log_ver\":1}");
  EXPECT_EQ(text.find_first_of(" \n\r\t"), std::string::npos);
}

TEST(DayFileFormat, spare_values_and_loaded_flag_are_never_stored) {
  DailyActivity day = known_day();
  day.spare[3] = 99;
  day.loaded = 1;
  EXPECT_EQ(serialize_day(day), golden("day_known.txt"));
}

// ---- reading it back ------------------------------------------------------------------------------

class DayFileLoading : public ::testing::Test {
 protected:
  DailyActivity load(const std::string& name = "20261208.txt") {
    return load_day(folder.path(), name, notifier);
  }

  testing::TempFolder folder;
  testing::RecordingNotifier notifier;
};

TEST_F(DayFileLoading, missing_file_is_an_empty_day_that_was_not_loaded) {
  const DailyActivity day = load();
  EXPECT_EQ(day, DailyActivity{});
  EXPECT_EQ(day.loaded, 0u);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(DayFileLoading, saved_day_comes_back_with_loaded_set) {
  write_text(folder / "20261208.txt", serialize_day(known_day()));
  DailyActivity expected = known_day();
  expected.loaded = 1;
  EXPECT_EQ(load(), expected);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(DayFileLoading, hour_nine_and_ten_keys_land_in_their_own_hours) {
  write_text(folder / "20261208.txt", golden("day_known.txt"));
  const DailyActivity day = load();
  EXPECT_EQ(day.clicks[0][9], 5u);
  EXPECT_EQ(day.clicks[0][10], 7u);
  EXPECT_EQ(day.clicks[0][1], 0u);
}

// A version this program cannot read is not an empty day: the next save would put the few new counts
// over the whole day the file holds.
TEST_F(DayFileLoading, later_version_is_reported_and_kept_aside_not_taken_for_an_empty_day) {
  std::string text = serialize_day(known_day());
  text.replace(text.find("\"log_ver\":1"), 11, "\"log_ver\":2");
  write_text(folder / "20261208.txt", text);
  const DailyActivity day = load();
  EXPECT_EQ(day.loaded, 1u);
  EXPECT_EQ(day.clicks[0][9], 0u);
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"load error"});
  EXPECT_EQ(read_whole_file(folder / "20261208.txt.damaged"), text);
}

TEST_F(DayFileLoading, truncated_file_gives_exactly_one_load_error_and_zeros) {
  const std::string text = serialize_day(known_day());
  write_text(folder / "20261208.txt", text.substr(0, text.size() / 2));
  const DailyActivity day = load();
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"load error"});
  EXPECT_EQ(day.loaded, 1u);
  EXPECT_EQ(day.clicks[0][9], 0u);
}

TEST_F(DayFileLoading, damaged_file_is_kept_aside_before_the_next_save_replaces_it) {
  write_text(folder / "20261208.txt", "{\"click_h0_b0\":12,\"cli");
  load();
  EXPECT_EQ(read_whole_file(folder / "20261208.txt.damaged"), "{\"click_h0_b0\":12,\"cli");
}

TEST_F(DayFileLoading, non_json_and_missing_version_are_load_errors) {
  for (const std::string text : {"hello", "", "[1,2,3]", "{\"click_h0_b0\":1}"}) {
    notifier.messages.clear();
    write_text(folder / "20261208.txt", text);
    load();
    EXPECT_EQ(notifier.messages.size(), 1u) << text;
  }
}

TEST_F(DayFileLoading, missing_key_keeps_the_counts_read_before_it) {
  // Hours are read in order 0..23, travel first, then per button clicks and double clicks.
  auto object = nlohmann::json::parse(serialize_day(known_day()));
  object.erase("click_h11_b0");
  write_text(folder / "20261208.txt", object.dump());
  const DailyActivity day = load();
  EXPECT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(day.move_counts[0], 62992u);  // hour 0: read
  EXPECT_EQ(day.clicks[0][10], 7u);       // hour 10: read
  EXPECT_EQ(day.clicks[4][23], 0u);       // after the gap: not read
  EXPECT_EQ(day.move_counts[23], 0u);
}

TEST_F(DayFileLoading, negative_fractional_textual_or_oversized_counts_are_corrupt) {
  for (const std::string bad : {"-1", "1.5", "\"7\"", "4294967296", "null"}) {
    notifier.messages.clear();
    std::string text = serialize_day(known_day());
    text.replace(text.find("\"click_h10_b0\":7"), 16, "\"click_h10_b0\":" + bad);
    write_text(folder / "20261208.txt", text);
    const DailyActivity day = load();
    EXPECT_EQ(notifier.messages.size(), 1u) << bad;
    EXPECT_EQ(day.clicks[0][10], 0u) << bad;  // never a wrapped number
    EXPECT_EQ(day.clicks[0][9], 5u) << bad;   // hour 9 was read before the corrupt value
  }
}

TEST_F(DayFileLoading, largest_count_round_trips) {
  write_text(folder / "20261208.txt", serialize_day(known_day()));
  EXPECT_EQ(load().clicks[4][23], 4294967295u);
}

}  // namespace
}  // namespace corvane
