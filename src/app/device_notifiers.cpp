#include "app/device_notifiers.h"

namespace corvane {

DeviceNotifiers::DeviceNotifiers(DeviceMonitor& monitor, QObject* parent)
    : QObject(parent), monitor_(monitor) {
  monitor_.on_descriptor_added = [this](int fd) { watch(fd); };
  monitor_.on_descriptor_removing = [this](int fd) { forget(fd); };
  for (int fd : monitor_.descriptors())
    watch(fd);
}

DeviceNotifiers::~DeviceNotifiers() {
  monitor_.on_descriptor_added = nullptr;
  monitor_.on_descriptor_removing = nullptr;
}

void DeviceNotifiers::watch(int fd) {
  if (fd < 0 || notifiers_.count(fd)) return;
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this,
          [this](QSocketDescriptor socket) { monitor_.on_readable(static_cast<int>(socket)); });
  notifiers_[fd] = notifier;
}

void DeviceNotifiers::forget(int fd) {
  const auto it = notifiers_.find(fd);
  if (it == notifiers_.end()) return;
  // The monitor closes the descriptor right after this, possibly from inside this notifier's own
  // activation: stop watching now, delete once the event loop is back.
  it->second->setEnabled(false);
  it->second->deleteLater();
  notifiers_.erase(it);
}

}  // namespace corvane
