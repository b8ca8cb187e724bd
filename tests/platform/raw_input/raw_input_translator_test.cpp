#include "raw_input/raw_input_translator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "input/sensor_mouse.h"
#include "same_input_cases.h"

namespace corvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kSensorMouse =
    R"(\\?\HID#VID_0C45&PID_7E11&MI_00#7&2a1f3b&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91405dd})";
const std::string kSensorCollection =
    R"(\\?\HID#VID_0C45&PID_7E12&MI_01&Col02#7&1c2d&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030})";
const std::string kOtherMouse =
    R"(\\?\HID#VID_046D&PID_C077#6&3b8e2b6&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91405dd})";

void put16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
  put16(b, static_cast<std::uint16_t>(v));
  put16(b, static_cast<std::uint16_t>(v >> 16));
}

// A whole record as the system hands it over, with handle and WPARAM filled with bytes that a reader
// misplacing the body by a few bytes would see.
Bytes record(RawInputLayout layout, std::uint32_t type, const Bytes& body) {
  Bytes r;
  put32(r, type);
  put32(r, static_cast<std::uint32_t>(raw_input_header_size(layout) + body.size()));
  const std::size_t pointer_bytes = layout == RawInputLayout::Pointers64 ? 8 : 4;
  r.insert(r.end(), pointer_bytes, 0xA5);  // hDevice
  r.insert(r.end(), pointer_bytes, 0x01);  // wParam: RIM_INPUTSINK
  r.insert(r.end(), body.begin(), body.end());
  return r;
}

Bytes mouse_record(RawInputLayout layout, const same_input::MouseCase& c) {
  Bytes body;
  put16(body, c.motion_flags);
  put16(body, 0);  // padding before the button union
  put16(body, c.button_flags);
  put16(body, c.button_data);
  put32(body, 0x5A5A5A5A);  // ulRawButtons: not part of a report
  put32(body, static_cast<std::uint32_t>(c.last_x));
  put32(body, static_cast<std::uint32_t>(c.last_y));
  put32(body, 0);  // ulExtraInformation
  return record(layout, 0, body);
}

Bytes hid_record(RawInputLayout layout, const std::vector<Bytes>& reports, std::uint32_t claimed_count = 0) {
  Bytes body;
  put32(body, static_cast<std::uint32_t>(reports.front().size()));
  put32(body, claimed_count ? claimed_count : static_cast<std::uint32_t>(reports.size()));
  for (const Bytes& report : reports)
    body.insert(body.end(), report.begin(), report.end());
  return record(layout, 2, body);
}

class RawInputTranslation : public ::testing::TestWithParam<RawInputLayout> {
 protected:
  RawInputReports translate(const Bytes& r, const std::string& device = kSensorMouse) {
    return translate_raw_input(r, GetParam(), device, CursorPosition{640, 480});
  }
};

TEST_P(RawInputTranslation, mouse_records_give_the_reports_the_linux_layer_gives_for_the_same_input) {
  ASSERT_TRUE(is_sensor_mouse_name(kSensorMouse));  // the engine counts what this name reports
  for (const auto& c : same_input::kMouseCases) {
    const RawInputReports out = translate(mouse_record(GetParam(), c));
    EXPECT_TRUE(out.hid.empty()) << c.name;
    ASSERT_EQ(out.mouse.has_value(), c.expected.has_value()) << c.name;
    if (!c.expected) continue;
    EXPECT_EQ(out.mouse->button_flags, c.expected->button_flags) << c.name;
    EXPECT_EQ(out.mouse->absolute, c.expected->absolute) << c.name;
    EXPECT_EQ(out.mouse->dx, c.expected->dx) << c.name;
    EXPECT_EQ(out.mouse->dy, c.expected->dy) << c.name;
    EXPECT_EQ(out.mouse->cursor_x, 640) << c.name;
    EXPECT_EQ(out.mouse->cursor_y, 480) << c.name;
    EXPECT_EQ(out.mouse->device_name, kSensorMouse) << c.name;
  }
}

TEST_P(RawInputTranslation, sensor_records_give_every_report_they_hold_as_the_linux_layer_lays_it_out) {
  ASSERT_TRUE(is_sensor_mouse_name(kSensorCollection));
  for (const auto& c : same_input::kSensorCases) {
    const RawInputReports out = translate(hid_record(GetParam(), {c.raw_input_report}), kSensorCollection);
    EXPECT_FALSE(out.mouse) << c.name;
    ASSERT_EQ(out.hid.size(), 1u) << c.name;
    EXPECT_EQ(out.hid[0].bytes, c.raw_input_report) << c.name;
    EXPECT_EQ(out.hid[0].device_name, kSensorCollection) << c.name;
  }
  // Reports that queued up while the program was busy come in one record; each holds samples.
  Bytes second = same_input::kSensorCases[0].raw_input_report;
  second[2] = 0x77;
  const RawInputReports both = translate(
      hid_record(GetParam(), {same_input::kSensorCases[0].raw_input_report, second}), kSensorCollection);
  ASSERT_EQ(both.hid.size(), 2u);
  EXPECT_EQ(both.hid[0].bytes, same_input::kSensorCases[0].raw_input_report);
  EXPECT_EQ(both.hid[1].bytes, second);
}

TEST_P(RawInputTranslation, other_devices_keyboards_and_malformed_records_give_nothing) {
  const auto& press = same_input::kMouseCases[0];
  const Bytes good = mouse_record(GetParam(), press);
  ASSERT_TRUE(translate(good).mouse);

  const auto nothing = [](const RawInputReports& out) { return !out.mouse && out.hid.empty(); };
  EXPECT_TRUE(nothing(translate(good, kOtherMouse))) << "a second mouse";
  EXPECT_TRUE(
      nothing(translate(hid_record(GetParam(), {same_input::kSensorCases[0].raw_input_report}), kOtherMouse)))
      << "another device's vendor collection";
  Bytes keyboard = good;
  keyboard[0] = 1;
  EXPECT_TRUE(nothing(translate(keyboard))) << "a keyboard record";
  EXPECT_TRUE(nothing(translate(Bytes(good.begin(), good.end() - 1)))) << "a record cut short";
  Bytes short_mouse = good;
  short_mouse[4] = static_cast<std::uint8_t>(short_mouse[4] - 4);
  EXPECT_TRUE(nothing(translate(short_mouse))) << "a mouse part shorter than its layout";
  EXPECT_TRUE(nothing(translate(hid_record(GetParam(), {same_input::kSensorCases[0].raw_input_report}, 3),
                                kSensorCollection)))
      << "a HID record claiming more reports than it holds";
  EXPECT_TRUE(nothing(translate(
      hid_record(GetParam(), {same_input::kSensorCases[0].raw_input_report}, 0x40000001), kSensorCollection)))
      << "a report count whose byte total overflows 32 bits";
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, RawInputTranslation,
                         ::testing::Values(RawInputLayout::Pointers64, RawInputLayout::Pointers32),
                         [](const auto& info) {
                           return info.param == RawInputLayout::Pointers64 ? "pointers64" : "pointers32";
                         });

}  // namespace
}  // namespace corvane
