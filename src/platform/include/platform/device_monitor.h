#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/reports.h"
#include "base/result.h"

namespace corvane {

// Watches the sensor mouse and delivers its reports. It owns no thread; how the caller's event loop
// drives it depends on the platform:
// - descriptors (Linux): the loop (poll() in headless mode, QSocketNotifier in the desktop program)
//   watches descriptors() and calls on_readable() when one has data;
// - window messages (Windows raw input): start() makes a window on the calling thread, and the thread's
//   message loop delivers the reports (Qt's event loop on the desktop, the readiness wait in headless
//   mode); descriptors() is empty and on_readable() is never needed.
//
// Set the callbacks, then call start(). A poll() loop may simply rebuild its set from descriptors()
// after every call into the monitor; a loop with one notifier per descriptor follows
// on_descriptor_added / on_descriptor_removing instead (start() announces every descriptor it opens
// through on_descriptor_added too). A descriptor can be closed inside on_readable() of another one
// (an unplug seen by the hot-plug monitor), always after on_descriptor_removing for it.
class DeviceMonitor {
 public:
  virtual ~DeviceMonitor() = default;

  //! Starts following hot-plug and opens the devices present now. Fails with why devices cannot be
  //! watched at all (no device present is a success).
  virtual Result<void> start() = 0;

  //! Descriptors to watch for reading right now (device nodes and the hot-plug monitor).
  virtual std::vector<int> descriptors() const = 0;

  //! Reads what is ready on `fd` and delivers the reports to the sink; handles hot-plug.
  virtual void on_readable(int fd) = 0;

  //! A new descriptor to watch (a device appeared).
  std::function<void(int fd)> on_descriptor_added;
  //! A descriptor is about to be closed (a device went away): stop watching it first. Called from
  //! inside on_readable(), possibly for that very descriptor.
  std::function<void(int fd)> on_descriptor_removing;
  //! Something the user must be told once (e.g. which udev rule to install when access is refused).
  std::function<void(const std::string& text)> on_warning;
};

//! The device layer of this platform delivering to `sink` (nothing is opened before start()), or the
//! reason where the platform has none yet. Each platform's device target defines it.
Result<std::unique_ptr<DeviceMonitor>> open_device_layer(ReportSink& sink);

}  // namespace corvane
