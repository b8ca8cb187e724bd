#include "input/sensor_mouse.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(SensorMouseName, names_of_either_model_are_recognised_on_windows_and_linux) {
  for (const char* name : {R"(\\?\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c})",
                           R"(\\?\hid#vid_0c45&pid_7e12&mi_00#8&1f0e3c2a&0&0000#{378de44c})",
                           "/sys/devices/pci0000:00/usb1/1-2/1-2:1.0/0003:0C45:7E11.0001/input/input7"})
    EXPECT_TRUE(is_sensor_mouse_name(name)) << name;
}

TEST(SensorMouseName, other_mice_other_products_of_the_maker_and_a_vendor_alone_are_not) {
  for (const char* name :
       {R"(\\?\HID#VID_046D&PID_C077#7&1a2b3c4d&0&0000#{378de44c})",
        R"(\\?\HID#VID_0C45&PID_6366#7&1a2b3c4d&0&0000#{378de44c})", "vid_0c45&pid_7e13", ""})
    EXPECT_FALSE(is_sensor_mouse_name(name)) << name;
}

TEST(SensorMouseName, mark_at_the_very_start_does_not_count) {
  // Only the first occurrence is looked at, and it must stand past the first character.
  EXPECT_FALSE(is_sensor_mouse_name("0c45 mouse 7e11"));
  EXPECT_FALSE(is_sensor_mouse_name("7e11 mouse 0c45"));
  EXPECT_FALSE(is_sensor_mouse_name("0c45 0c45 7e11"));
  EXPECT_TRUE(is_sensor_mouse_name("x0c45 7e11"));
}

}  // namespace
}  // namespace corvane
