#include "devices/device_monitor_linux.h"
#include "platform/device_monitor.h"

namespace corvane {

std::unique_ptr<DeviceMonitor> open_device_layer(ReportSink& sink, std::string& /*error*/) {
  return create_device_monitor(sink);
}

}  // namespace corvane
