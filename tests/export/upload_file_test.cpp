#include "export/upload_file.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/file_read.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

// 2026-12-08 00:00:00 local, counted as if it were UTC.
constexpr LocalTimestamp kMidnight = 1796688000;

DaySnapshot sample_day() {
  DaySnapshot d{2026, 12, 8, {}};
  for (int b = 0; b < kButtonKinds; ++b)
    for (int h = 0; h < kHoursPerDay; ++h) {
      d.record.clicks[b][h] = 100 * b + h;
      d.record.double_clicks[b][h] = 1000 + 100 * b + h;
    }
  for (int h = 0; h < kHoursPerDay; ++h)
    d.record.move_counts[h] = 50000 + h;
  d.record.loaded = 1;
  return d;
}

// The expected "mouse_log" text, written out by hand in byte order of the keys.
std::string expected_mouse_log(LocalTimestamp midnight) {
  std::string s = "\"mouse_log\":{";
  for (int h = 0; h < 24; ++h) {
    const auto n = [h](int base) { return std::to_string(base + h); };
    if (h) s += ",";
    s += "\"" + std::to_string(midnight + 3600 * h) + "\":{\"click_c\":" + n(200) +
         ",\"click_l_d\":" + n(1000) + ",\"click_l_s\":" + n(0) + ",\"click_r_d\":" + n(1100) +
         ",\"click_r_s\":" + n(100) + ",\"click_s_1\":" + n(300) + ",\"click_s_2\":" + n(400) +
         ",\"move_pixel\":" + n(50000) + "}";
  }
  return s + "}";
}

TEST(UploadFile, without_heart_rates_has_only_dpi_and_mouse_log) {
  const std::string json = build_upload_json(sample_day(), {});
  EXPECT_EQ(json, "{\"display_dpi\":1600," + expected_mouse_log(kMidnight) + "}");
  // The first hour written out in full, as a reader would see it.
  EXPECT_NE(
      json.find("{\"1796688000\":{\"click_c\":200,\"click_l_d\":1000,\"click_l_s\":0,\"click_r_d\":1100,"
                "\"click_r_s\":100,\"click_s_1\":300,\"click_s_2\":400,\"move_pixel\":50000},"),
      std::string::npos);
}

TEST(UploadFile, with_heart_rates_lists_them_in_list_order) {
  const std::vector<HeartLog> log = {{72, kMidnight + 9 * 3600 + 60, "2026/12/08 09:01"},
                                     {65, kMidnight + 8 * 3600, "2026/12/08 08:00"}};
  EXPECT_EQ(build_upload_json(sample_day(), log),
            "{\"display_dpi\":1600,\"heart_rate_log\":[{\"heart_rate\":72,\"log_time\":1796720460},"
            "{\"heart_rate\":65,\"log_time\":1796716800}]," +
                expected_mouse_log(kMidnight) + "}");
}

TEST(UploadFile, hour_keys_are_3600_apart_from_local_midnight_of_the_counters_date) {
  DaySnapshot d = sample_day();
  d.year = 2027;
  d.month = 1;
  d.day = 1;
  const auto parsed = nlohmann::json::parse(build_upload_json(d, {}));
  const auto& hours = parsed.at("mouse_log");
  ASSERT_EQ(hours.size(), 24u);
  const LocalTimestamp midnight = to_local_timestamp(2027, 1, 1);
  for (int h = 0; h < 24; ++h) {
    const std::string key = std::to_string(midnight + 3600 * h);
    ASSERT_TRUE(hours.contains(key)) << key;
    EXPECT_EQ(hours.at(key).at("move_pixel"), 50000 + h);
  }
}

TEST(UploadFile, largest_counts_stay_unsigned) {
  DaySnapshot d{2026, 12, 8, {}};
  d.record.move_counts[23] = 4294967295u;
  const auto parsed = nlohmann::json::parse(build_upload_json(d, {}));
  EXPECT_EQ(parsed["mouse_log"][std::to_string(kMidnight + 23 * 3600)]["move_pixel"].get<std::uint64_t>(),
            4294967295u);
}

TEST(UploadFile, write_replaces_the_data_folders_file) {
  testing::TempFolder folder;
  ASSERT_TRUE(write_file_atomically(folder / "upload.json", std::string(100000, 'x')));
  ASSERT_TRUE(write_upload_file(folder.path(), sample_day(), {}));
  EXPECT_EQ(read_whole_file(folder / "upload.json"), build_upload_json(sample_day(), {}));
}

}  // namespace
}  // namespace corvane
