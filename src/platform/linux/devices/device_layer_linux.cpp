#include "devices/device_monitor_linux.h"
#include "platform/device_monitor.h"

namespace corvane {

Result<std::unique_ptr<DeviceMonitor>> open_device_layer(ReportSink& sink) {
  return create_device_monitor(sink);
}

}  // namespace corvane
