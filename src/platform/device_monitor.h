#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "input/reports.h"

namespace corvane {

// Watches the sensor mouse's device nodes and delivers their reports. It owns no thread: the caller's
// event loop (poll() in headless mode, QSocketNotifier in the desktop program) watches the descriptors
// and calls on_readable() when one has data.
class DeviceMonitor {
 public:
  virtual ~DeviceMonitor() = default;

  //! Descriptors to watch for reading right now (device nodes and the hot-plug monitor).
  virtual std::vector<int> descriptors() const = 0;

  //! Reads what is ready on `fd` and delivers the reports to the sink; handles hot-plug.
  virtual void on_readable(int fd) = 0;

  //! A new descriptor to watch (a device appeared).
  std::function<void(int fd)> on_descriptor_added;
  //! A descriptor is about to be closed (a device went away): stop watching it first.
  std::function<void(int fd)> on_descriptor_removing;
  //! Something the user must be told once (e.g. which udev rule to install when access is refused).
  std::function<void(const std::string& text)> on_warning;
};

}  // namespace corvane
