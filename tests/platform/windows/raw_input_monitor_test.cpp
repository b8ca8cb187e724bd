// The raw-input layer against the real system (Windows or Wine): the window it makes and what it asks
// the system for. Records themselves cannot be injected here (Wine sends no WM_INPUT for a made-up
// device); their decoding is tested on every system with hand-built records.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/device_monitor.h"

namespace corvane {
namespace {

struct IgnoringSink final : ReportSink {
  void on_mouse_report(const MouseReport&) override {}
  void on_hid_report(const HidReport&) override {}
};

std::vector<RAWINPUTDEVICE> registered() {
  UINT count = 0;
  ::GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE));
  std::vector<RAWINPUTDEVICE> devices(count);
  if (count > 0 && ::GetRegisteredRawInputDevices(devices.data(), &count, sizeof(RAWINPUTDEVICE)) != count)
    devices.clear();
  return devices;
}

TEST(RawInputMonitor,
     registers_the_mouse_and_both_sensor_collections_for_background_input_and_lets_go_at_the_end) {
  IgnoringSink sink;
  auto layer = open_device_layer(sink);
  ASSERT_TRUE(layer) << layer.error().message;
  const Result<void> started = (*layer)->start();
  ASSERT_TRUE(started) << started.error().message;
  EXPECT_TRUE((*layer)->descriptors().empty());

  const std::vector<RAWINPUTDEVICE> devices = registered();
  ASSERT_EQ(devices.size(), 3u);
  const std::pair<USHORT, USHORT> wanted[] = {{0x0001, 0x0002}, {0xFF30, 0x0001}, {0xFF29, 0x0001}};
  for (const auto& [page, usage] : wanted) {
    const auto found = std::find_if(devices.begin(), devices.end(), [&](const RAWINPUTDEVICE& d) {
      return d.usUsagePage == page && d.usUsage == usage;
    });
    ASSERT_NE(found, devices.end()) << page << ":" << usage;
    // Input while another program has the focus, and word of arrivals and removals.
    EXPECT_EQ(found->dwFlags, static_cast<DWORD>(RIDEV_INPUTSINK | RIDEV_DEVNOTIFY)) << page << ":" << usage;
    // A message-only window: nothing on the screen, nothing in the task bar.
    ASSERT_TRUE(::IsWindow(found->hwndTarget));
    EXPECT_NE(::GetAncestor(found->hwndTarget, GA_PARENT), ::GetDesktopWindow());
    EXPECT_FALSE(::IsWindowVisible(found->hwndTarget));
  }

  layer->reset();
  EXPECT_TRUE(registered().empty()) << "a monitor that ended left its registration behind";
}

}  // namespace
}  // namespace corvane
