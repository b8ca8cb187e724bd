#include "alerts/ini_file.h"

#include <gtest/gtest.h>

#include "platform/file_read.h"
#include "platform/system_conventions.h"
#include "support/system_traits.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(IniRead, names_match_without_case) {
  const IniFile ini = IniFile::parse("[Alert]\nAB_Count=12\n[ARG]\nid=0123\n");
  EXPECT_EQ(ini.get_int("alert", "ab_count", -1), 12);
  EXPECT_EQ(ini.get_int("ALERT", "AB_COUNT", -1), 12);
  EXPECT_EQ(ini.get_string("arg", "ID", "@_NOSTR_"), "0123");
}

TEST(IniRead, missing_file_section_or_key_gives_default) {
  testing::TempFolder folder;
  EXPECT_EQ(read_profile_int(folder / "none.ini", "Alert", "bpm", 7), 7);
  EXPECT_EQ(read_profile_string(folder / "none.ini", "arg", "id", "@_NOSTR_"), "@_NOSTR_");
  const IniFile ini = IniFile::parse("[Alert]\nbpm=90\n");
  EXPECT_EQ(ini.get_int("Other", "bpm", -1), -1);
  EXPECT_EQ(ini.get_int("Alert", "check_bpm", 0), 0);
  EXPECT_EQ(ini.get_string("Alert", "msg", ""), "");
}

TEST(IniRead, integers_parse_like_profile_functions) {
  EXPECT_EQ(parse_profile_int("42"), 42);
  EXPECT_EQ(parse_profile_int("-7"), -7);
  EXPECT_EQ(parse_profile_int("+9"), 9);
  EXPECT_EQ(parse_profile_int("12abc"), 12);
  EXPECT_EQ(parse_profile_int("3.9"), 3);
  EXPECT_EQ(parse_profile_int("abc"), 0);
  EXPECT_EQ(parse_profile_int(""), 0);
  EXPECT_EQ(parse_profile_int("-"), 0);
  EXPECT_EQ(parse_profile_int("0x10"), 0);
  EXPECT_EQ(parse_profile_int("99999999999999999999"), 2147483647);
  EXPECT_EQ(parse_profile_int("-99999999999999999999"), -2147483647 - 1);
  // A key that is present but empty reads as 0, not as the default.
  EXPECT_EQ(IniFile::parse("[a]\nk=\n").get_int("a", "k", 5), 0);
}

TEST(IniRead, blanks_and_outer_quotes_are_dropped_and_comments_ignored) {
  const IniFile ini = IniFile::parse("[Alert]\n; msg=comment\n  msg  =  \"  hello  \"  \nbpm = 80 \n");
  EXPECT_EQ(ini.get_string("Alert", "msg", "x"), "  hello  ");
  EXPECT_EQ(ini.get_int("Alert", "bpm", 0), 80);
}

TEST(IniRead, first_occurrence_wins) {
  const IniFile ini = IniFile::parse("[a]\nk=1\nk=2\n[A]\nk=3\n");
  EXPECT_EQ(ini.get_int("a", "k", 0), 1);
}

TEST(IniWrite, replaces_value_in_place_and_keeps_everything_else) {
  const std::string before =
      "; user notes\r\n[Other]\r\nfoo = bar\r\n\r\n[alert]\r\nunknown=keep "
      "me\r\nBPM=80\r\nmsg=hi\r\n\r\n[ARG]\r\nid=1\r\n";
  IniFile ini = IniFile::parse(before);
  ini.set_int("Alert", "bpm", 120);
  EXPECT_EQ(ini.text(),
            "; user notes\r\n[Other]\r\nfoo = bar\r\n\r\n[alert]\r\nunknown=keep "
            "me\r\nBPM=120\r\nmsg=hi\r\n\r\n[ARG]\r\nid=1\r\n");
}

TEST(IniWrite, new_key_goes_to_the_end_of_its_section_and_new_section_to_the_end) {
  IniFile ini = IniFile::parse("[Alert]\nbpm=80\n\n[ARG]\nid=1");
  ini.set_int("Alert", "check_bpm", 1);
  ini.set_string("Extra", "k", "v");
  EXPECT_EQ(ini.text(), "[Alert]\nbpm=80\ncheck_bpm=1\n\n[ARG]\nid=1\n[Extra]\nk=v\n");
}

TEST(IniWrite, numbers_are_written_as_signed_decimal) {
  IniFile ini;
  ini.set_int("Alert", "hr_hour1", -1);
  ini.set_int("Alert", "ab_count", 2147483647);
  const std::string end(native_line_end());  // a new file takes the system's line end
  EXPECT_EQ(ini.text(), "[Alert]" + end + "hr_hour1=-1" + end + "ab_count=2147483647" + end);
}

TEST(IniWrite, values_read_back_exactly_and_cannot_inject_keys) {
  IniFile ini;
  ini.set_string("Alert", "msg", "  padded  ");
  ini.set_string("Alert", "msg_hr", "\"quoted\"");
  ini.set_string("Alert", "text", "line one\nbpm=999\r\n[ARG]");
  ini.set_string("Alert", "jp", "休憩しましょう。");
  const IniFile back = IniFile::parse(ini.text());
  EXPECT_EQ(back.get_string("Alert", "msg", ""), "  padded  ");
  EXPECT_EQ(back.get_string("Alert", "msg_hr", ""), "\"quoted\"");
  EXPECT_EQ(back.get_string("Alert", "text", ""), "line one bpm=999  [ARG]");
  EXPECT_EQ(back.get_string("Alert", "jp", ""), "休憩しましょう。");
  EXPECT_EQ(back.get_int("Alert", "bpm", -5), -5);
  EXPECT_FALSE(back.find("ARG", "id"));
}

TEST(IniWrite, byte_order_mark_is_kept) {
  IniFile ini = IniFile::parse("\xEF\xBB\xBF[arg]\nid=1\n");
  EXPECT_EQ(ini.get_string("ARG", "id", ""), "1");
  ini.set_string("ARG", "id", "2");
  EXPECT_EQ(ini.text(), "\xEF\xBB\xBF[arg]\nid=2\n");
}

TEST(IniWrite, unreadable_file_is_not_replaced) {
  if (const auto why = testing::without_unreadable_files()) GTEST_SKIP() << *why;
  testing::TempFolder folder;
  const auto file = folder / "set.ini";
  ASSERT_TRUE(write_file_atomically(file, "[Alert]\nbpm=90\n"));
  std::filesystem::permissions(file, std::filesystem::perms::none);
  EXPECT_FALSE(write_profile_string(file, "ARG", "id", "1"));
  std::filesystem::permissions(file,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(read_whole_file(file), "[Alert]\nbpm=90\n");
}

}  // namespace
}  // namespace corvane
