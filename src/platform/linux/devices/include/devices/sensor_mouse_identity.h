#pragma once

#include <string>
#include <string_view>

namespace corvane {

//! True for the USB vendor and product IDs of the sensor mouse (sysfs idVendor/idProduct, hex text).
bool is_sensor_mouse_usb_id(std::string_view vendor, std::string_view product);

//! The name reports of one device node carry. It is the node's sysfs path, which passes under the
//! HID device the kernel names "<bus>:<vendor>:<product>.<n>", so it contains the USB IDs as the
//! program's recognition of the sensor mouse expects ("0c45" and "7e11"/"7e12" after the start). Should
//! a path lack them (an unusual bus layout), the IDs are appended in the Windows style so that the
//! name still identifies the sensor mouse.
std::string sensor_node_name(std::string_view syspath, std::string_view vendor, std::string_view product);

}  // namespace corvane
