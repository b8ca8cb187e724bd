#include "devices/device_monitor_linux.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "devices/evdev_translator.h"
#include "devices/hid_report_layout.h"
#include "devices/sensor_mouse_identity.h"

namespace corvane {
namespace {

// Reads handled per wake-up before control goes back to the loop, so that one chatty node cannot
// starve the others; poll() is level-triggered and reports the rest at once.
constexpr int kMaxReadsPerWake = 64;
// Largest report a hidraw node hands out (the kernel's HID_MAX_BUFFER_SIZE).
constexpr std::size_t kHidrawBufferSize = 16384;

constexpr const char* kRulesFile = "70-corvane.rules";

std::string text_or_empty(const char* text) {
  return text ? std::string(text) : std::string();
}

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

struct EvdevDeleter {
  void operator()(libevdev* dev) const { libevdev_free(dev); }
};

// One opened device node of the sensor mouse.
struct Node {
  enum class Kind { kEvdev, kHidraw };
  Kind kind = Kind::kEvdev;
  int fd = -1;
  std::string syspath;
  std::string devnode;
  // evdev
  std::unique_ptr<libevdev, EvdevDeleter> evdev;
  std::unique_ptr<EvdevTranslator> translator;
  // hidraw
  HidReportLayout layout;
  HidReport report;  // reused for every read: the name is set once

  ~Node() {
    evdev.reset();
    if (fd >= 0) ::close(fd);
  }
};

// The USB IDs of the device a node belongs to, when it hangs off a USB device.
struct UsbIds {
  std::string vendor;
  std::string product;
};

std::optional<UsbIds> usb_ids_of(udev_device* device) {
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
  if (!usb) return std::nullopt;
  return UsbIds{text_or_empty(udev_device_get_sysattr_value(usb, "idVendor")),
                text_or_empty(udev_device_get_sysattr_value(usb, "idProduct"))};
}

// The report descriptor from sysfs: it needs no access to the node, so interfaces without our
// collections are never opened.
std::vector<std::uint8_t> read_report_descriptor(udev_device* hidraw) {
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
  if (!hid) return {};
  std::ifstream in(std::string(udev_device_get_syspath(hid)) + "/report_descriptor", std::ios::binary);
  if (!in) return {};
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The report descriptor from the node itself, where sysfs lacks it.
std::vector<std::uint8_t> read_report_descriptor(int fd) {
  int size = 0;
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) return {};
  hidraw_report_descriptor descriptor{};
  descriptor.size = static_cast<std::uint32_t>(size);
  if (::ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) return {};
  return std::vector<std::uint8_t>(descriptor.value, descriptor.value + descriptor.size);
}

bool is_pointer(const libevdev* dev) {
  return libevdev_has_event_code(dev, EV_REL, REL_X) || libevdev_has_event_code(dev, EV_KEY, BTN_LEFT) ||
         libevdev_has_event_code(dev, EV_ABS, ABS_X);
}

// A node whose read found nothing although poll() woke us: on a hang-up that means the device is gone
// (libevdev reports an end of file as "try again").
bool hung_up(int fd) {
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

class LinuxDeviceMonitor final : public DeviceMonitor {
 public:
  explicit LinuxDeviceMonitor(ReportSink& sink) : sink_(sink), buffer_(kHidrawBufferSize) {}

  ~LinuxDeviceMonitor() override = default;

  Result<void> start() override {
    if (udev_) return {};
    udev_.reset(udev_new());
    if (!udev_) return fail("udev is not available: " + std::string(std::strerror(errno)));
    // The "udev" source rather than "kernel": its events come after the rules ran, so the node
    // exists with its final permissions when we open it.
    monitor_.reset(udev_monitor_new_from_netlink(udev_.get(), "udev"));
    if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_.get(), "input", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_.get()) < 0) {
      monitor_.reset();
      udev_.reset();
      return fail("the udev device monitor cannot be opened");
    }
    monitor_fd_ = udev_monitor_get_fd(monitor_.get());
    announce(monitor_fd_);

    // Enumerate after the monitor listens, so a device plugged in meanwhile is not missed; a device
    // seen twice is opened once.
    UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(udev_.get()));
    if (!enumerate) return {};
    udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw");
    udev_enumerate_add_match_subsystem(enumerate.get(), "input");
    udev_enumerate_scan_devices(enumerate.get());
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
      UdevPtr<udev_device> device(udev_device_new_from_syspath(udev_.get(), udev_list_entry_get_name(entry)));
      if (device) consider(device.get());
    }
    return {};
  }

  std::vector<int> descriptors() const override {
    std::vector<int> fds;
    if (monitor_fd_ >= 0) fds.push_back(monitor_fd_);
    for (const auto& [fd, node] : nodes_)
      fds.push_back(fd);
    return fds;
  }

  void on_readable(int fd) override {
    if (fd == monitor_fd_ && monitor_fd_ >= 0) {
      read_uevents();
      return;
    }
    const auto found = nodes_.find(fd);
    if (found == nodes_.end()) return;
    Node& node = *found->second;
    const bool alive = node.kind == Node::Kind::kEvdev ? read_evdev(node) : read_hidraw(node);
    if (!alive) remove(fd);
  }

 private:
  void announce(int fd) {
    if (on_descriptor_added) on_descriptor_added(fd);
  }

  void warn(const std::string& text) {
    if (on_warning) on_warning(text);
  }

  // Opens `device` when it is a hidraw or event node of the sensor mouse.
  void consider(udev_device* device) {
    const char* devnode = udev_device_get_devnode(device);
    const char* subsystem = udev_device_get_subsystem(device);
    if (!devnode || !subsystem) return;
    const std::string sub(subsystem);
    const bool hidraw = sub == "hidraw";
    if (!hidraw && !(sub == "input" && std::string(udev_device_get_sysname(device)).starts_with("event")))
      return;
    const auto ids = usb_ids_of(device);
    if (!ids || !is_sensor_mouse_usb_id(ids->vendor, ids->product)) return;
    const std::string syspath(udev_device_get_syspath(device));
    for (const auto& [fd, node] : nodes_) {
      if (node->syspath == syspath) return;
    }

    auto node = std::make_unique<Node>();
    node->syspath = syspath;
    node->devnode = devnode;
    const std::string name = sensor_node_name(syspath, ids->vendor, ids->product);

    // The report descriptor comes from sysfs, which needs no access to the node, so an interface
    // without our collections is not even opened; the node's own ioctl is the fallback.
    std::vector<std::uint8_t> descriptor;
    if (hidraw) descriptor = read_report_descriptor(device);
    if (!hidraw || !descriptor.empty()) {
      if (hidraw && !accept_hidraw(*node, descriptor, name)) return;
      if (!open_node(*node)) return;
    } else {
      if (!open_node(*node)) return;
      if (!accept_hidraw(*node, read_report_descriptor(node->fd), name)) return;
    }

    if (!hidraw) {
      libevdev* dev = nullptr;
      if (libevdev_new_from_fd(node->fd, &dev) < 0) return;
      node->evdev.reset(dev);
      if (!is_pointer(dev)) return;  // e.g. the keyboard interface many mice also have
      node->translator = std::make_unique<EvdevTranslator>(name);
      for (const std::uint16_t axis : {ABS_X, ABS_Y}) {
        if (const input_absinfo* info = libevdev_get_abs_info(dev, axis)) {
          node->translator->set_absolute_range(axis, info->minimum, info->maximum);
        }
      }
    }

    const int fd = node->fd;
    nodes_.emplace(fd, std::move(node));
    announce(fd);
  }

  // Keeps the hidraw node's layout when the interface carries one of the sensor collections.
  static bool accept_hidraw(Node& node, const std::vector<std::uint8_t>& descriptor,
                            const std::string& name) {
    const auto layout = parse_report_descriptor(descriptor);
    if (!layout) return false;
    bool wanted = false;
    for (const auto& collection : layout->collections)
      wanted = wanted || is_sensor_collection(collection);
    if (!wanted) return false;  // the pointing interface: its buttons and motion come through evdev
    node.kind = Node::Kind::kHidraw;
    node.layout = *layout;
    node.report.device_name = name;
    return true;
  }

  bool open_node(Node& node) {
    node.fd = ::open(node.devnode.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (node.fd >= 0) return true;
    if (errno == EACCES || errno == EPERM) warn_access_refused(node.devnode);
    return false;
  }

  void warn_access_refused(const std::string& devnode) {
    if (access_warned_) return;
    access_warned_ = true;
    warn("The sensor mouse was found, but access to " + devnode + " was refused. Install the udev rule " +
         kRulesFile +
         " (copy it into /etc/udev/rules.d/, run "
         "\"udevadm control --reload\" and \"udevadm trigger\" as root), then plug the mouse in again.");
  }

  void read_uevents() {
    for (int i = 0; i < kMaxReadsPerWake; ++i) {
      UdevPtr<udev_device> device(udev_monitor_receive_device(monitor_.get()));
      if (!device) return;
      const std::string action = text_or_empty(udev_device_get_action(device.get()));
      if (action == "add") {
        consider(device.get());
      } else if (action == "remove") {
        const std::string syspath(udev_device_get_syspath(device.get()));
        for (const auto& [fd, node] : nodes_) {
          if (node->syspath == syspath) {
            remove(fd);
            break;
          }
        }
      }
    }
  }

  // False when the node is gone.
  bool read_evdev(Node& node) {
    int events = 0;
    for (int i = 0; i < kMaxReadsPerWake; ++i) {
      input_event event{};
      int rc = libevdev_next_event(node.evdev.get(), LIBEVDEV_READ_FLAG_NORMAL, &event);
      if (rc == -EAGAIN) break;
      if (rc == LIBEVDEV_READ_STATUS_SYNC) {
        // Events were dropped: the group in progress is incomplete; libevdev now hands out the
        // difference between the state we knew and the device's, as one group of its own.
        ++events;
        node.translator->drop_group();
        while ((rc = libevdev_next_event(node.evdev.get(), LIBEVDEV_READ_FLAG_SYNC, &event)) ==
               LIBEVDEV_READ_STATUS_SYNC) {
          deliver(node, event);
        }
        if (rc != -EAGAIN) return false;
        continue;
      }
      if (rc != LIBEVDEV_READ_STATUS_SUCCESS) return false;  // ENODEV: unplugged
      ++events;
      deliver(node, event);
    }
    return events > 0 || !hung_up(node.fd);
  }

  void deliver(Node& node, const input_event& event) {
    if (const auto report = node.translator->feed(event)) sink_.on_mouse_report(*report);
  }

  // False when the node is gone.
  bool read_hidraw(Node& node) {
    for (int i = 0; i < kMaxReadsPerWake; ++i) {
      const ssize_t n = ::read(node.fd, buffer_.data(), buffer_.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno == EAGAIN;  // EIO or ENODEV: unplugged
      }
      if (n == 0) return false;
      const auto bytes = normalize_hid_report(
          node.layout, std::span<const std::uint8_t>(buffer_.data(), static_cast<std::size_t>(n)));
      if (!bytes) continue;
      node.report.bytes = *bytes;
      sink_.on_hid_report(node.report);
    }
    return true;
  }

  // The loop stops watching first, then the node is closed.
  void remove(int fd) {
    if (on_descriptor_removing) on_descriptor_removing(fd);
    nodes_.erase(fd);
  }

  ReportSink& sink_;
  UdevPtr<udev> udev_;
  UdevPtr<udev_monitor> monitor_;
  int monitor_fd_ = -1;
  std::map<int, std::unique_ptr<Node>> nodes_;
  std::vector<std::uint8_t> buffer_;
  bool access_warned_ = false;
};

}  // namespace

std::unique_ptr<DeviceMonitor> create_device_monitor(ReportSink& sink) {
  return std::make_unique<LinuxDeviceMonitor>(sink);
}

}  // namespace corvane
