#include "platform/device_monitor.h"

namespace corvane {

// Raw input is not wired up yet: the program still shows its pages and saved days, without mouse data.
Result<std::unique_ptr<DeviceMonitor>> open_device_layer(ReportSink& /*sink*/) {
  return fail("no device layer on this platform");
}

}  // namespace corvane
