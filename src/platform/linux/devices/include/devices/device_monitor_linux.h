#pragma once

#include <memory>

#include "base/reports.h"
#include "platform/device_monitor.h"

namespace corvane {

//! The Linux device layer: finds the sensor mouse through udev (its hidraw nodes carrying the vendor
//! collections, its event node for buttons and motion), follows hot-plug, and leaves every other
//! device closed. Nothing is opened before start(); destroying the monitor closes its descriptors
//! without calling on_descriptor_removing, so the loop must stop watching them before that.
//! Hot-plug needs udevd (the "udev" netlink source); without it the devices present at start() are
//! still read.
std::unique_ptr<DeviceMonitor> create_device_monitor(ReportSink& sink);

}  // namespace corvane
