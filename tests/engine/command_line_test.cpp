#include "engine/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane {
namespace {

CommandLineParse parse(std::vector<std::string_view> args) {
  return parse_command_line(args);
}

TEST(CommandLine, full_headless_replay_is_parsed) {
  const auto p = parse({"--headless", "--data-dir", "/tmp/d", "--replay", "x.capture", "--fast", "--start",
                        "2026-12-31T23:58:30"});
  ASSERT_TRUE(p) << p.error;
  EXPECT_TRUE(p.options.headless);
  EXPECT_TRUE(p.options.fast);
  EXPECT_EQ(p.options.data_dir, std::filesystem::path("/tmp/d"));
  EXPECT_EQ(p.options.replay, std::filesystem::path("x.capture"));
  ASSERT_TRUE(p.options.start);
  EXPECT_EQ(p.options.start->year, 2026);
  EXPECT_EQ(p.options.start->minute, 58);
  EXPECT_EQ(p.options.start->second, 30);
  EXPECT_EQ(p.options.start->weekday, 4);  // a Thursday
}

TEST(CommandLine, nothing_given_is_the_desktop_program) {
  const auto p = parse({});
  ASSERT_TRUE(p);
  EXPECT_FALSE(p.options.headless);
  EXPECT_FALSE(p.options.replay);
}

TEST(CommandLine, fast_without_replay_or_headless_is_refused) {
  EXPECT_FALSE(parse({"--headless", "--fast"}));
  EXPECT_FALSE(parse({"--replay", "x", "--fast"}));
}

TEST(CommandLine, option_without_its_value_is_refused) {
  EXPECT_FALSE(parse({"--headless", "--data-dir"}));
  EXPECT_FALSE(parse({"--headless", "--replay"}));
  EXPECT_FALSE(parse({"--headless", "--start"}));
}

TEST(CommandLine, unknown_double_dash_option_is_refused_other_words_ignored) {
  EXPECT_FALSE(parse({"--headles"}));
  EXPECT_TRUE(parse({"--headless", "whatever", "-x"}));
}

TEST(CommandLine, slash_switches_in_any_case_and_close_stops_the_scan) {
  auto p = parse({"/HIDE"});
  EXPECT_TRUE(p.options.hide);
  p = parse({"/Close", "/hide", "--bogus"});
  ASSERT_TRUE(p);
  EXPECT_TRUE(p.options.close);
  EXPECT_FALSE(p.options.hide);
}

TEST(LocalDateTimeOption, impossible_dates_and_bad_shapes_are_refused) {
  EXPECT_TRUE(parse_local_datetime("2028-02-29T00:00:00"));
  EXPECT_FALSE(parse_local_datetime("2027-02-29T00:00:00"));
  EXPECT_FALSE(parse_local_datetime("2026-13-01T00:00:00"));
  EXPECT_FALSE(parse_local_datetime("2026-12-01T24:00:00"));
  EXPECT_FALSE(parse_local_datetime("2026-12-01 10:00:00"));
  EXPECT_FALSE(parse_local_datetime("2026-12-1T10:00:00"));
  EXPECT_FALSE(parse_local_datetime("2026-12-01T10:00"));
  EXPECT_FALSE(parse_local_datetime("+026-12-01T10:00:00"));
}

}  // namespace
}  // namespace corvane
