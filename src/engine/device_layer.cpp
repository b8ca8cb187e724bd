#include "engine/device_layer.h"

// CMake defines CORVANE_HAVE_DEVICE_LAYER where a device layer is built for this platform.
#ifdef CORVANE_HAVE_DEVICE_LAYER
#include "platform/linux/devices/device_monitor_linux.h"
#endif

namespace corvane {

std::unique_ptr<DeviceMonitor> open_device_layer(ReportSink& sink, std::string& error) {
#ifdef CORVANE_HAVE_DEVICE_LAYER
  (void)error;
  return create_device_monitor(sink);
#else
  (void)sink;
  error = "no device layer on this platform";
  return nullptr;
#endif
}

}  // namespace corvane
