#include "replay/capture.h"

#include <gtest/gtest.h>

#include <variant>

namespace corvane {
namespace {

constexpr const char* kName = R"(\\?\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c})";

Result<std::vector<CaptureEntry>> parse(const std::string& body) {
  return parse_capture("corvane-capture 1\n" + body, "x.capture");
}

class CaptureParsing : public ::testing::Test {};

TEST_F(CaptureParsing, mouse_line_gives_every_field) {
  const auto p = parse(std::string("15 mouse 0x0101 rel -3 4 1919 -20 ") + kName + "\n");
  ASSERT_TRUE(p) << p.error().message;
  ASSERT_EQ(p->size(), 1u);
  EXPECT_EQ((*p)[0].t_ms, 15);
  const auto& m = std::get<MouseReport>((*p)[0].report);
  EXPECT_EQ(m.button_flags, 0x0101);
  EXPECT_FALSE(m.absolute);
  EXPECT_EQ(m.dx, -3);
  EXPECT_EQ(m.dy, 4);
  EXPECT_EQ(m.cursor_x, 1919);
  EXPECT_EQ(m.cursor_y, -20);
  EXPECT_EQ(m.device_name, kName);
}

TEST_F(CaptureParsing, device_name_with_spaces_is_the_rest_of_the_line) {
  const auto p = parse("0 mouse 0x0000 abs 1 2 3 4 USB Optical Mouse (0c45:7e12)\r\n");
  ASSERT_TRUE(p) << p.error().message;
  const auto& m = std::get<MouseReport>((*p)[0].report);
  EXPECT_TRUE(m.absolute);
  EXPECT_EQ(m.device_name, "USB Optical Mouse (0c45:7e12)");
}

TEST_F(CaptureParsing, hid_line_gives_the_bytes) {
  const auto p = parse("7 hid 00080801A0ff\n");
  ASSERT_TRUE(p) << p.error().message;
  EXPECT_EQ(std::get<HidReport>((*p)[0].report).bytes,
            (std::vector<std::uint8_t>{0x00, 0x08, 0x08, 0x01, 0xA0, 0xFF}));
}

TEST_F(CaptureParsing, comments_and_blank_lines_are_skipped) {
  const auto p = parse("# a comment\n\n   \n  # indented comment\n1 hid 00\n");
  ASSERT_TRUE(p) << p.error().message;
  EXPECT_EQ(p->size(), 1u);
}

TEST_F(CaptureParsing, equal_times_are_allowed) {
  EXPECT_TRUE(parse("5 hid 00\n5 hid 01\n"));
}

struct Malformed {
  const char* body;
  int line;  // counted with the header as line 1
};

class CaptureMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(CaptureMalformed, names_file_and_line_and_yields_nothing) {
  const auto p = parse(GetParam().body);
  ASSERT_FALSE(p);
  EXPECT_EQ(p.error().message.rfind("x.capture:" + std::to_string(GetParam().line) + ": ", 0), 0u)
      << p.error().message;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CaptureMalformed,
    ::testing::Values(Malformed{"1 hid 00\n0 hid 00\n", 3},                      // time goes back
                      Malformed{"-1 hid 00\n", 2},                               // negative time
                      Malformed{"1.5 hid 00\n", 2},                              // fractional time
                      Malformed{"1 key 00\n", 2},                                // unknown kind
                      Malformed{"1 hid 0\n", 2},                                 // odd digit count
                      Malformed{"1 hid 0g\n", 2},                                // not hex
                      Malformed{"1 hid\n", 2},                                   // no bytes
                      Malformed{"1 hid 00 01\n", 2},                             // two runs
                      Malformed{"1 mouse 0001 rel 0 0 0 0 m\n", 2},              // flags without 0x
                      Malformed{"1 mouse 0x10000 rel 0 0 0 0 m\n", 2},           // flags too wide
                      Malformed{"1 mouse 0x0001 up 0 0 0 0 m\n", 2},             // motion kind
                      Malformed{"1 mouse 0x0001 rel 0 0 0 0\n", 2},              // no device name
                      Malformed{"1 mouse 0x0001 rel 0 x 0 0 m\n", 2},            // dy not a number
                      Malformed{"1 mouse 0x0001 rel 0 0 0 99999999999 m\n", 2},  // y out of range
                      Malformed{"\n\n1 hid 00\n1 hid zz\n", 5}));                // blank lines still count

TEST(CaptureHeader, missing_or_wrong_is_line_1) {
  EXPECT_EQ(parse_capture("1 hid 00\n", "a").error().message.rfind("a:1: ", 0), 0u);
  EXPECT_EQ(parse_capture("corvane-capture 2\n", "a").error().message.rfind("a:1: ", 0), 0u);
  EXPECT_FALSE(parse_capture("", "a"));
}

TEST(CaptureFormat, mouse_and_hid_lines_parse_back_to_the_same_reports) {
  MouseReport m;
  m.device_name = kName;
  m.button_flags = 0x0240;
  m.absolute = true;
  m.dx = -7;
  m.dy = 65535;
  m.cursor_x = -1;
  m.cursor_y = 2;
  HidReport h{"", {0x00, 0x08, 0x08, 0x01, 0xfe}};
  const std::string text = std::string(kCaptureHeader) + "\n" + format_capture_line(12, m) + "\n" +
                           format_capture_line(13, h) + "\n";
  const auto p = parse_capture(text, "round");
  ASSERT_TRUE(p) << p.error().message;
  const auto& m2 = std::get<MouseReport>((*p)[0].report);
  EXPECT_EQ(m2.device_name, m.device_name);
  EXPECT_EQ(m2.button_flags, m.button_flags);
  EXPECT_EQ(m2.absolute, m.absolute);
  EXPECT_EQ(m2.dx, m.dx);
  EXPECT_EQ(m2.dy, m.dy);
  EXPECT_EQ(m2.cursor_x, m.cursor_x);
  EXPECT_EQ(m2.cursor_y, m.cursor_y);
  EXPECT_EQ(std::get<HidReport>((*p)[1].report).bytes, h.bytes);
  EXPECT_EQ(format_capture_line(12, m), std::string("12 mouse 0x0240 abs -7 65535 -1 2 ") + kName);
  EXPECT_EQ(format_capture_line(13, h), "13 hid 00080801fe");
}

}  // namespace
}  // namespace corvane
