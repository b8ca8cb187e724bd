// The whole Linux device layer against the mocked sensor mouse and another mouse.
#include <gtest/gtest.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <umockdev.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "mocked_devices.h"

namespace corvane {
namespace {

using namespace umockdev_testing;
namespace bf = button_flags;

using UmockdevDeviceLayer = MockedDevicesTest;

TEST_F(UmockdevDeviceLayer, start_with_sensor_and_other_mouse_opens_only_the_sensor_nodes) {
  plug_other_mouse();  // its event and vendor reports are ready at once
  plug_sensor_mouse({}, evemu(0.3, EV_REL, REL_X, 4) + evemu(0.3, EV_SYN, SYN_REPORT, 0), "", "");
  ASSERT_TRUE(monitor_->start());

  // The hot-plug monitor, the sensor's event node and its two vendor interfaces; not the sensor's
  // pointing hidraw node (no vendor collection), nothing of the other mouse.
  const auto fds = monitor_->descriptors();
  EXPECT_EQ(fds.size(), 4u);
  EXPECT_EQ(std::set<int>(added_.begin(), added_.end()), std::set<int>(fds.begin(), fds.end()));
  ASSERT_TRUE(pump_until([&] { return !sink_.mouse.empty(); }));
  for (int i = 0; i < 5; ++i)
    pump_once(20);
  ASSERT_EQ(sink_.mouse.size(), 1u);
  EXPECT_NE(sink_.mouse[0].device_name.find("0C45:7E11"), std::string::npos);
  EXPECT_TRUE(sink_.hid.empty());
  EXPECT_TRUE(warnings_.empty());
}

TEST_F(UmockdevDeviceLayer, sensor_buttons_and_motion_become_mouse_reports) {
  std::string events;
  double t = 0.05;
  const auto group = [&](std::initializer_list<std::array<int, 3>> items) {
    for (const auto& i : items)
      events += evemu(t, i[0], i[1], i[2]);
    events += evemu(t, EV_SYN, SYN_REPORT, 0);
    t += 0.02;
  };
  group({{EV_MSC, MSC_SCAN, 0x90004}, {EV_KEY, BTN_SIDE, 1}});
  group({{EV_KEY, BTN_SIDE, 0}});
  group({{EV_KEY, BTN_EXTRA, 1}, {EV_KEY, BTN_EXTRA, 0}});
  group({{EV_KEY, BTN_LEFT, 1}, {EV_KEY, BTN_RIGHT, 1}, {EV_REL, REL_X, 3}, {EV_REL, REL_Y, -4}});
  group({{EV_REL, REL_WHEEL, 1}});
  group({{EV_KEY, BTN_LEFT, 0}, {EV_KEY, BTN_RIGHT, 0}, {EV_KEY, BTN_MIDDLE, 1}});
  plug_sensor_mouse({}, events, "", "");
  ASSERT_TRUE(monitor_->start());

  ASSERT_TRUE(pump_until([&] { return sink_.mouse.size() >= 6; }));
  EXPECT_EQ(flags_of(sink_.mouse),
            (std::vector<std::uint16_t>{bf::kFourthDown, bf::kFourthUp, bf::kFifthDown | bf::kFifthUp,
                                        bf::kLeftDown | bf::kRightDown, bf::kWheel,
                                        bf::kLeftUp | bf::kRightUp | bf::kMiddleDown}));
  EXPECT_FALSE(sink_.mouse[3].absolute);
  EXPECT_EQ(sink_.mouse[3].dx, 3);
  EXPECT_EQ(sink_.mouse[3].dy, -4);
  for (const auto& r : sink_.mouse)
    EXPECT_TRUE(is_sensor_mouse_name(r.device_name)) << r.device_name;
}

TEST_F(UmockdevDeviceLayer, dropped_events_are_resynchronised_from_the_device_state) {
  // Left goes down, then the kernel's buffer overflows and the release is lost. The device state
  // (no button down) brings the release back.
  plug_sensor_mouse({},
                    evemu(0.05, EV_KEY, BTN_LEFT, 1) + evemu(0.05, EV_SYN, SYN_REPORT, 0) +
                        evemu(0.1, EV_REL, REL_X, 7) + evemu(0.1, EV_SYN, SYN_DROPPED, 0) +
                        evemu(0.1, EV_SYN, SYN_REPORT, 0) + evemu(0.15, EV_REL, REL_Y, 2) +
                        evemu(0.15, EV_SYN, SYN_REPORT, 0),
                    "", "");
  ASSERT_TRUE(monitor_->start());

  ASSERT_TRUE(pump_until([&] { return sink_.mouse.size() >= 3; }));
  EXPECT_EQ(flags_of(sink_.mouse), (std::vector<std::uint16_t>{bf::kLeftDown, bf::kLeftUp, 0}));
  EXPECT_EQ(sink_.mouse[1].dx, 0);  // the motion of the broken group is not reported
  EXPECT_EQ(sink_.mouse[2].dy, 2);
}

TEST_F(UmockdevDeviceLayer, vendor_reports_arrive_in_the_windows_layout) {
  // Numbered interface: a 0xFF30 report (ID 1, short), a 0xFF00 report (ID 3, dropped), a 0xFF29 report
  // (ID 2). Unnumbered interface: a short 0xFF29 report. The mocked nodes are byte streams, unlike
  // hidraw, so the reports are spaced out in time to keep each read to one report.
  plug_sensor_mouse({}, "", "r 50 ^A^M^A^B^C\nr 300 ^C^A^B^C^D^E^F^G^H^I^J^K^L^M^N^O\nr 300 ^B^N\n",
                    "r 800 ^H^H^A^D\n");
  ASSERT_TRUE(monitor_->start());

  ASSERT_TRUE(pump_until([&] { return sink_.hid.size() >= 3; }));
  ASSERT_EQ(sink_.hid.size(), 3u);
  using Bytes = std::vector<std::uint8_t>;
  EXPECT_EQ(sink_.hid[0].bytes, (Bytes{1, 0x0D, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(sink_.hid[1].bytes, (Bytes{2, 0x0E, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(sink_.hid[2].bytes, (Bytes{0, 8, 8, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_NE(sink_.hid[0].device_name, sink_.hid[2].device_name);
  EXPECT_TRUE(is_sensor_mouse_name(sink_.hid[0].device_name));
}

TEST_F(UmockdevDeviceLayer, report_descriptor_missing_in_sysfs_is_read_from_the_node) {
  SensorNodes nodes;
  nodes.unnumbered_descriptor_in_sysfs = false;
  plug_sensor_mouse(nodes, "", "", "r 50 ^H^H^A^D\n");
  ASSERT_TRUE(monitor_->start());

  ASSERT_TRUE(pump_until([&] { return !sink_.hid.empty(); }));
  EXPECT_EQ(sink_.hid[0].bytes,
            (std::vector<std::uint8_t>{0, 8, 8, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(UmockdevDeviceLayer, unplug_closes_the_nodes_and_replug_with_new_names_opens_them) {
  plug_sensor_mouse({}, "", "", "");
  ASSERT_TRUE(monitor_->start());
  for (int i = 0; i < 5; ++i)
    pump_once(20);
  ASSERT_EQ(monitor_->descriptors().size(), 4u);  // idle nodes stay open

  unplug_sensor_mouse();
  ASSERT_TRUE(pump_until([&] { return monitor_->descriptors().size() == 1; }));
  EXPECT_EQ(removing_.size(), 3u);
  EXPECT_TRUE(still_open_at_removal_);

  SensorNodes again;
  again.event = "event6";
  again.input = "input6";
  again.hidraw_pointer = "hidraw3";
  again.hidraw_numbered = "hidraw4";
  again.hidraw_unnumbered = "hidraw5";
  again.instance = 4;
  again.usb = "/devices/pci0000:00/0000:00:14.0/usb1/1-3";  // plugged into another port
  plug_sensor_mouse(again, evemu(0.05, EV_KEY, BTN_RIGHT, 1) + evemu(0.05, EV_SYN, SYN_REPORT, 0),
                    "r 50 ^A^M^A^B^C\n", "");
  for (const auto& path : sensor_syspaths_)
    umockdev_testbed_uevent(testbed_, ("/sys" + path).c_str(), "add");

  ASSERT_TRUE(pump_until([&] { return !sink_.mouse.empty() && !sink_.hid.empty(); }));
  EXPECT_EQ(monitor_->descriptors().size(), 4u);
  EXPECT_NE(sink_.mouse[0].device_name.find("event6"), std::string::npos);
  EXPECT_EQ(sink_.mouse[0].button_flags, bf::kRightDown);
  EXPECT_NE(sink_.hid[0].device_name.find("hidraw4"), std::string::npos);
}

TEST_F(UmockdevDeviceLayer, node_whose_reads_fail_is_closed_even_without_a_remove_event) {
  plug_sensor_mouse({}, evemu(0.05, EV_KEY, BTN_RIGHT, 1) + evemu(0.05, EV_SYN, SYN_REPORT, 0),
                    "r 50 ^A^M^A^B^C\n", "r 50 ^H^H^A^D\n");
  ASSERT_TRUE(monitor_->start());
  ASSERT_TRUE(pump_until([&] { return !sink_.mouse.empty() && sink_.hid.size() == 2; }));

  // The device side of each node hangs up, as an unplugged device's nodes do; no uevent arrives.
  for (const char* node : {"/dev/input/event5", "/dev/hidraw1", "/dev/hidraw2"}) {
    const int device_side = umockdev_testbed_get_dev_fd(testbed_, node);
    ASSERT_GE(device_side, 0) << node;
    ::close(device_side);
  }
  ASSERT_TRUE(pump_until([&] { return monitor_->descriptors().size() == 1; }));
  EXPECT_EQ(removing_.size(), 3u);
  EXPECT_TRUE(still_open_at_removal_);
}

TEST_F(UmockdevDeviceLayer, refused_access_warns_once_and_names_the_udev_rule) {
  plug_sensor_mouse({}, "", "", "");
  char* root = umockdev_testbed_get_root_dir(testbed_);
  for (const char* node : {"/dev/input/event5", "/dev/hidraw1", "/dev/hidraw2"}) {
    ASSERT_EQ(::chmod((std::string(root) + node).c_str(), 0), 0) << node;
  }
  g_free(root);
  {
    WithoutPermissionOverride as_a_user;
    ASSERT_TRUE(monitor_->start());
  }
  ASSERT_EQ(warnings_.size(), 1u);  // three refused nodes, one warning
  EXPECT_NE(warnings_[0].find("70-corvane.rules"), std::string::npos) << warnings_[0];
  EXPECT_EQ(monitor_->descriptors().size(), 1u);  // only the hot-plug monitor
}

}  // namespace
}  // namespace corvane
