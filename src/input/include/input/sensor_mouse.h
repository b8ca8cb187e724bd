#pragma once

#include <string_view>

namespace corvane {

// The sensor mouse is told by its device name alone: ignoring letter case, the name contains "0c45"
// and "7e11" or "7e12", each first found past the name's first character. Allocation-free because it
// runs for every report of every mouse.
bool is_sensor_mouse_name(std::string_view device_name);

}  // namespace corvane
