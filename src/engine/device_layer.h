#pragma once

#include <memory>
#include <string>

#include "input/reports.h"
#include "platform/device_monitor.h"

namespace corvane {

//! The device layer of this platform delivering to `sink`, or null with the reason in `error` when the
//! platform has none.
std::unique_ptr<DeviceMonitor> open_device_layer(ReportSink& sink, std::string& error);

}  // namespace corvane
