#pragma once

// A mocked sysfs and /dev with the sensor mouse and another mouse (umockdev's LD_PRELOAD testbed): no
// kernel support and no privileges needed. CTest runs the programs using it with the preload library set.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "devices/device_monitor_linux.h"
#include "input/sensor_mouse.h"
#include "support/temp_folder.h"

namespace corvane::umockdev_testing {

inline constexpr const char* kUsbSensor = "/devices/pci0000:00/0000:00:14.0/usb1/1-1";
inline constexpr const char* kUsbOther = "/devices/pci0000:00/0000:00:14.0/usb1/1-2";

// Report descriptors of the mocked interfaces.
// Boot-style mouse without report IDs: 5 buttons, X, Y, wheel.
inline constexpr const char* kMouseDescriptor =
    "05 01 09 02 A1 01 09 01 A1 00 05 09 19 01 29 05 15 00 25 01 95 05 75 01 81 02 95 01 75 03 81 01 "
    "05 01 09 30 09 31 09 38 15 81 25 7F 75 08 95 03 81 06 C0 C0";
// Numbered: 0xFF30 collection with report 1 (15 bytes), 0xFF29 with report 2 (7 bytes), 0xFF00 with 3.
inline constexpr const char* kNumberedVendorDescriptor =
    "06 30 FF 09 01 A1 01 85 01 15 00 26 FF 00 75 08 95 0F 09 01 81 02 C0 "
    "06 29 FF 09 01 A1 01 85 02 75 08 95 07 09 01 81 02 C0 "
    "06 00 FF 09 01 A1 01 85 03 75 08 95 0F 09 01 81 02 C0";
// Unnumbered: 0xFF29 collection with 16-byte reports.
inline constexpr const char* kUnnumberedVendorDescriptor =
    "06 29 FF 09 01 A1 01 15 00 26 FF 00 75 08 95 10 09 01 81 02 C0";

inline std::string without_spaces(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

inline std::string hid_block(const std::string& usb, const std::string& interface,
                             const std::string& hid_name, const std::string& descriptor) {
  const std::string intf = usb + "/" + interface;
  return "P: " + intf + "/" + hid_name + "\nE: SUBSYSTEM=hid\n" +
         (descriptor.empty() ? std::string() : "H: report_descriptor=" + without_spaces(descriptor) + "\n") +
         "\n" + "P: " + intf + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceClass=03\n\n";
}

inline std::string usb_block(const std::string& usb, const std::string& vendor, const std::string& product) {
  return "P: " + usb + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nA: idVendor=" + vendor +
         "\nA: idProduct=" + product + "\n\n";
}

inline std::string hidraw_block(const std::string& hid_path, const std::string& node) {
  return "P: " + hid_path + "/hidraw/" + node + "\nN: " + node + "\nE: DEVNAME=/dev/" + node +
         "\nE: SUBSYSTEM=hidraw\nE: MAJOR=245\n\n";
}

inline std::string event_block(const std::string& hid_path, const std::string& input,
                               const std::string& event) {
  const std::string in = hid_path + "/input/" + input;
  return "P: " + in + "/" + event + "\nN: input/" + event + "\nE: DEVNAME=/dev/input/" + event +
         "\nE: SUBSYSTEM=input\nE: ID_INPUT=1\nE: ID_INPUT_MOUSE=1\nE: MAJOR=13\n\n" + "P: " + in +
         "\nE: SUBSYSTEM=input\nE: ID_INPUT=1\nE: ID_INPUT_MOUSE=1\nA: name=Mouse\n\n";
}

inline std::string hex(const std::vector<unsigned char>& bytes) {
  std::string out;
  char buf[3];
  for (unsigned char b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    out += buf;
  }
  return out;
}

// The evdev ioctls libevdev asks when it opens a five-button relative mouse, in umockdev's ioctl record
// format (data sizes as libevdev asks them).
inline std::string mouse_ioctls(const std::string& devnode) {
  std::vector<unsigned char> name(255, 0);
  const std::string text = "Mouse";
  std::copy(text.begin(), text.end(), name.begin());
  std::vector<unsigned char> keys(96, 0);
  keys[BTN_LEFT / 8] = 0x1F;  // BTN_LEFT .. BTN_EXTRA
  const std::vector<unsigned char> z8(8, 0);
  std::string s = "@DEV " + devnode + "\n";
  s += "EVIOCGBIT(0) 8 " + hex({0x07, 0, 0, 0, 0, 0, 0, 0}) + "\n";  // SYN, KEY, REL
  s += "EVIOCGNAME 6 " + hex(name) + "\n";
  s += "EVIOCGID 0 0300450C117E0101\n";
  s += "EVIOCGVERSION 0 01000100\n";
  s += "EVIOCGPROP 0 " + hex(z8) + "\n";
  s += "EVIOCGBIT(1) 96 " + hex(keys) + "\n";
  s += "EVIOCGBIT(2) 8 " + hex({0x03, 0x01, 0, 0, 0, 0, 0, 0}) + "\n";  // REL_X, REL_Y, REL_WHEEL
  for (const int type : {EV_ABS, EV_LED, EV_SW, EV_MSC, EV_SND}) {
    s += "EVIOCGBIT(" + std::to_string(type) + ") 8 " + hex(z8) + "\n";
  }
  s += "EVIOCGBIT(21) 16 " + hex(std::vector<unsigned char>(16, 0)) + "\n";  // EV_FF
  s += "EVIOCGKEY 0 " + hex(std::vector<unsigned char>(96, 0)) + "\n";
  s += "EVIOCGLED 0 " + hex(z8) + "\n";
  s += "EVIOCGSW 0 " + hex(z8) + "\n";
  return s;
}

// Takes the calling thread's power to ignore file permissions away for its lifetime, so that a test
// run as root meets the same refusals as a user does.
class WithoutPermissionOverride final {
 public:
  WithoutPermissionOverride() {
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~WithoutPermissionOverride() {
    if (active_) ::syscall(SYS_capset, &header_, saved_);
  }
  WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
  WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

 private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
  bool active_ = false;
};

class RecordingSink final : public ReportSink {
 public:
  void on_mouse_report(const MouseReport& report) override { mouse.push_back(report); }
  void on_hid_report(const HidReport& report) override { hid.push_back(report); }
  std::vector<MouseReport> mouse;
  std::vector<HidReport> hid;
};

// Nodes of the sensor mouse and of the other mouse, as they are named in one plug-in of each.
struct SensorNodes {
  std::string event = "event5";
  std::string input = "input5";
  std::string hidraw_pointer = "hidraw0";
  std::string hidraw_numbered = "hidraw1";
  std::string hidraw_unnumbered = "hidraw2";
  int instance = 1;  // the kernel numbers HID devices on, even when the same mouse comes back
  std::string usb = kUsbSensor;
  // Where the unnumbered interface's report descriptor can be read: sysfs, or only the node's ioctl.
  bool unnumbered_descriptor_in_sysfs = true;
};

// HIDIOCGRDESCSIZE and HIDIOCGRDESC answering with `descriptor`, in umockdev's ioctl record format.
inline std::string report_descriptor_ioctls(const std::string& devnode, const std::string& descriptor) {
  const std::string bytes = without_spaces(descriptor);
  const unsigned size = static_cast<unsigned>(bytes.size() / 2);
  char size_hex[9];
  std::snprintf(size_hex, sizeof size_hex, "%02X%02X%02X%02X", size & 0xFF, (size >> 8) & 0xFF,
                (size >> 16) & 0xFF, size >> 24);
  std::string value = bytes + std::string((4096 - size) * 2, '0');
  return "@DEV " + devnode + "\nHIDIOCGRDESCSIZE 0 " + size_hex + "\nHIDIOCGRDESC 0 " + size_hex + value +
         "\n";
}

class MockedDevicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* preload = std::getenv("LD_PRELOAD");
    if (!preload || std::string_view(preload).find("libumockdev-preload") == std::string_view::npos) {
      GTEST_SKIP() << "needs LD_PRELOAD=libumockdev-preload.so.0 (CTest sets it)";
    }
    testbed_ = umockdev_testbed_new();
    monitor_ = create_device_monitor(sink_);
    monitor_->on_descriptor_added = [this](int fd) { added_.push_back(fd); };
    monitor_->on_descriptor_removing = [this](int fd) {
      removing_.push_back(fd);
      // The layer must still hold the descriptor open here: the loop stops watching first.
      still_open_at_removal_ = still_open_at_removal_ && ::fcntl(fd, F_GETFD) != -1;
    };
    monitor_->on_warning = [this](const std::string& text) { warnings_.push_back(text); };
  }

  void TearDown() override {
    monitor_.reset();
    if (testbed_) g_object_unref(testbed_);
  }

  std::string hid_path(const std::string& usb, int interface, const std::string& ids, int instance) const {
    char name[32];
    std::snprintf(name, sizeof name, "%s.%04X", ids.c_str(), instance);
    return usb + "/" + usb.substr(usb.rfind('/') + 1) + ":1." + std::to_string(interface) + "/" + name;
  }

  void add(const std::string& description) {
    GError* error = nullptr;
    ASSERT_TRUE(umockdev_testbed_add_from_string(testbed_, description.c_str(), &error))
        << (error ? error->message : "") << "\n"
        << description;
  }

  std::string write_file(const std::string& name, const std::string& content) {
    const auto path = (folder_ / name).string();
    std::ofstream(path) << content;
    return path;
  }

  // The sensor mouse: a pointing interface (event node + hidraw node without vendor collections), a
  // numbered vendor interface and an unnumbered one.
  void plug_sensor_mouse(const SensorNodes& n, const std::string& events, const std::string& numbered_script,
                         const std::string& unnumbered_script) {
    const std::string ids = "0003:0C45:7E11";
    const std::string& usb = n.usb;
    const std::string port = usb.substr(usb.rfind('/') + 1);
    const std::string pointer = hid_path(usb, 0, ids, n.instance);
    const std::string numbered = hid_path(usb, 1, ids, n.instance + 1);
    const std::string unnumbered = hid_path(usb, 2, ids, n.instance + 2);
    add(event_block(pointer, n.input, n.event) + hidraw_block(pointer, n.hidraw_pointer) +
        hid_block(usb, port + ":1.0", pointer.substr(pointer.rfind('/') + 1), kMouseDescriptor) +
        hidraw_block(numbered, n.hidraw_numbered) +
        hid_block(usb, port + ":1.1", numbered.substr(numbered.rfind('/') + 1), kNumberedVendorDescriptor) +
        hidraw_block(unnumbered, n.hidraw_unnumbered) +
        hid_block(usb, port + ":1.2", unnumbered.substr(unnumbered.rfind('/') + 1),
                  n.unnumbered_descriptor_in_sysfs ? kUnnumberedVendorDescriptor : "") +
        usb_block(usb, "0c45", "7e11"));
    usb_syspath_ = "/sys" + usb;
    const std::string event_node = "/dev/input/" + n.event;
    load_ioctls(event_node, mouse_ioctls(event_node));
    if (!events.empty()) load_events(event_node, events);
    if (!numbered_script.empty()) load_script("/dev/" + n.hidraw_numbered, numbered_script);
    if (!n.unnumbered_descriptor_in_sysfs) {
      load_ioctls("/dev/" + n.hidraw_unnumbered,
                  report_descriptor_ioctls("/dev/" + n.hidraw_unnumbered, kUnnumberedVendorDescriptor));
    }
    if (!unnumbered_script.empty()) load_script("/dev/" + n.hidraw_unnumbered, unnumbered_script);
    sensor_syspaths_ = {pointer + "/input/" + n.input + "/" + n.event,
                        pointer + "/hidraw/" + n.hidraw_pointer, numbered + "/hidraw/" + n.hidraw_numbered,
                        unnumbered + "/hidraw/" + n.hidraw_unnumbered, pointer + "/input/" + n.input};
  }

  // Another mouse, which even carries a 0xFF30 collection and has events waiting: it must stay closed.
  void plug_other_mouse() {
    const std::string hid = hid_path(kUsbOther, 0, "0003:046D:C077", 9);
    add(event_block(hid, "input7", "event7") + hidraw_block(hid, "hidraw7") +
        hid_block(kUsbOther, "1-2:1.0", hid.substr(hid.rfind('/') + 1), kNumberedVendorDescriptor) +
        usb_block(kUsbOther, "046d", "c077"));
    load_ioctls("/dev/input/event7", mouse_ioctls("/dev/input/event7"));
    load_events("/dev/input/event7", "E: 0.000001 0001 0110 1\nE: 0.000001 0000 0000 0\n");
    load_script("/dev/hidraw7", "r 0 ^A^M^A^B^C^D^E^F^G^H^I^J^K^L^M^N^O\n");
  }

  void unplug_sensor_mouse() {
    for (const auto& path : sensor_syspaths_) {
      umockdev_testbed_uevent(testbed_, ("/sys" + path).c_str(), "remove");
    }
    umockdev_testbed_remove_device(testbed_, usb_syspath_.c_str());
  }

  void load_ioctls(const std::string& dev, const std::string& text) {
    GError* error = nullptr;
    const auto file = write_file("ioctl" + std::to_string(files_++), text);
    ASSERT_TRUE(umockdev_testbed_load_ioctl(testbed_, dev.c_str(), file.c_str(), &error))
        << (error ? error->message : "");
  }
  void load_events(const std::string& dev, const std::string& text) {
    GError* error = nullptr;
    const auto file = write_file("events" + std::to_string(files_++), text);
    ASSERT_TRUE(umockdev_testbed_load_evemu_events(testbed_, dev.c_str(), file.c_str(), &error))
        << (error ? error->message : "");
  }
  void load_script(const std::string& dev, const std::string& text) {
    GError* error = nullptr;
    const auto file = write_file("script" + std::to_string(files_++), text);
    ASSERT_TRUE(umockdev_testbed_load_script(testbed_, dev.c_str(), file.c_str(), &error))
        << (error ? error->message : "");
  }

  // Runs a poll() loop over the layer's descriptors until `done` holds or a generous limit passes
  // (the limit only keeps a broken build from hanging; nothing here measures time).
  bool pump_until(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      pump_once(50);
    }
    return true;
  }

  void pump_once(int timeout_ms) {
    const auto fds = monitor_->descriptors();
    std::vector<pollfd> polled;
    for (int fd : fds)
      polled.push_back({fd, POLLIN, 0});
    if (::poll(polled.data(), polled.size(), timeout_ms) <= 0) return;
    for (const auto& p : polled) {
      if (p.revents == 0) continue;
      const auto now = monitor_->descriptors();
      if (std::find(now.begin(), now.end(), p.fd) == now.end()) continue;  // closed meanwhile
      monitor_->on_readable(p.fd);
    }
  }

  // Paths of the mocked device nodes this process holds open.
  std::set<std::string> open_nodes() const {
    std::set<std::string> nodes;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      const auto target = std::filesystem::read_symlink(entry.path(), ec).string();
      for (const char* name : {"event5", "event6", "event7", "hidraw0", "hidraw1", "hidraw2", "hidraw7"}) {
        if (target.ends_with(std::string("/") + name)) nodes.insert(name);
      }
    }
    return nodes;
  }

  corvane::testing::TempFolder folder_;
  UMockdevTestbed* testbed_ = nullptr;
  RecordingSink sink_;
  std::unique_ptr<DeviceMonitor> monitor_;
  std::vector<int> added_;
  std::vector<int> removing_;
  std::vector<std::string> warnings_;
  bool still_open_at_removal_ = true;
  std::vector<std::string> sensor_syspaths_;
  std::string usb_syspath_;
  int files_ = 0;
};

inline std::vector<std::uint16_t> flags_of(const std::vector<MouseReport>& reports) {
  std::vector<std::uint16_t> flags;
  for (const auto& r : reports)
    flags.push_back(r.button_flags);
  return flags;
}

// evemu lines: "E: <seconds> <type> <code> <value>", hex type and code, decimal value.
inline std::string evemu(double seconds, int type, int code, int value) {
  char line[80];
  std::snprintf(line, sizeof line, "E: %.6f %04X %04X %d\n", seconds, type, code, value);
  return line;
}

}  // namespace corvane::umockdev_testing
