#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <map>

#include "platform/device_monitor.h"

namespace corvane {

// Drives a DeviceMonitor from the Qt event loop: one QSocketNotifier per descriptor it names, added and
// removed as devices come and go. No thread and no polling: reads happen when the kernel has data.
// Make it before the monitor's start(), which announces the descriptors it opens.
class DeviceNotifiers final : public QObject {
  Q_OBJECT
 public:
  explicit DeviceNotifiers(DeviceMonitor& monitor, QObject* parent = nullptr);
  ~DeviceNotifiers() override;

  std::size_t watched() const { return notifiers_.size(); }

 private:
  void watch(int fd);
  void forget(int fd);

  DeviceMonitor& monitor_;
  std::map<int, QSocketNotifier*> notifiers_;
};

}  // namespace corvane
