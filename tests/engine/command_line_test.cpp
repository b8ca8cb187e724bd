#include "engine/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane {
namespace {

Result<CommandLine> parse(std::vector<std::string_view> args) {
  return parse_command_line(args);
}

TEST(CommandLine, full_headless_replay_is_parsed) {
  const auto p = parse({"--headless", "--data-dir", "/tmp/d", "--replay", "x.capture", "--fast", "--start",
                        "2026-12-31T23:58:30"});
  ASSERT_TRUE(p) << p.error().message;
  EXPECT_TRUE(p->headless);
  EXPECT_TRUE(p->fast);
  EXPECT_EQ(p->data_dir, std::filesystem::path("/tmp/d"));
  EXPECT_EQ(p->replay, std::filesystem::path("x.capture"));
  ASSERT_TRUE(p->start);
  EXPECT_EQ(p->start->year, 2026);
  EXPECT_EQ(p->start->minute, 58);
  EXPECT_EQ(p->start->second, 30);
  EXPECT_EQ(p->start->weekday, 4);  // a Thursday
}

TEST(CommandLine, nothing_given_is_the_desktop_program) {
  const auto p = parse({});
  ASSERT_TRUE(p);
  EXPECT_FALSE(p->headless);
  EXPECT_FALSE(p->replay);
}

TEST(CommandLine, contradicting_or_incomplete_options_are_refused) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"--headless", "--fast"},
           {"--replay", "x", "--fast"},
           {"--headless", "--data-dir"},
           {"--headless", "--replay"},
           {"--headless", "--start"},
           {"--headless", "--demo"},
           {"--headless", "--screenshots", "shots"},
           {"--screenshots"},
           {"--screenshot-delay", "soon"},
           {"--screenshot-delay", "-1"},
           {"--lang", "de"},
           {"--lang"},
       }) {
    const auto p = parse(args);
    EXPECT_FALSE(p) << args.front() << " " << args.back();
    if (!p) {
      EXPECT_FALSE(p.error().message.empty());
    }
  }
}

TEST(CommandLine, unknown_double_dash_option_is_refused_other_words_ignored) {
  EXPECT_FALSE(parse({"--headles"}));
  EXPECT_TRUE(parse({"--headless", "whatever", "-x"}));
}

TEST(CommandLine, close_and_hide_in_any_case_or_spelling) {
  for (const char* close : {"/close", "/CLOSE", "/Close", "--close", "--CLOSE"}) {
    const auto p = parse({close});
    ASSERT_TRUE(p) << close;
    EXPECT_TRUE(p->close) << close;
  }
  for (const char* hide : {"/hide", "/HIDE", "--hide", "--Hide"}) {
    const auto p = parse({hide});
    ASSERT_TRUE(p) << hide;
    EXPECT_TRUE(p->hide && !p->close) << hide;
  }
}

TEST(CommandLine, every_argument_counts_wherever_close_stands) {
  // "/close --data-dir D" must end the program of D, not the one of the default folder.
  const auto p = parse({"/close", "--data-dir", "/tmp/d", "--headless"});
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->close);
  EXPECT_TRUE(p->headless);
  EXPECT_EQ(p->data_dir, std::filesystem::path("/tmp/d"));
  EXPECT_FALSE(parse({"/close", "--bogus"}));
}

TEST(CommandLine, desktop_switches_are_read_with_the_rest) {
  const auto p = parse({"--demo", "--data-dir", "/tmp/x", "--screenshots", "shots", "--screenshot-delay", "7",
                        "--lang", "en"});
  ASSERT_TRUE(p) << p.error().message;
  EXPECT_TRUE(p->demo);
  EXPECT_EQ(p->screenshots, std::filesystem::path("shots"));
  EXPECT_EQ(p->screenshot_delay_s, 7);
  EXPECT_EQ(p->lang, "en");
  EXPECT_EQ(p->data_dir, std::filesystem::path("/tmp/x"));
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
