#include "input/sensor_mouse.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(SensorMouseName, WindowsNameOfEitherModel_IsRecognised) {
  EXPECT_TRUE(is_sensor_mouse_name(R"(\\?\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c})"));
  EXPECT_TRUE(is_sensor_mouse_name(R"(\\?\hid#vid_0c45&pid_7e12&mi_00#8&1f0e3c2a&0&0000#{378de44c})"));
}

TEST(SensorMouseName, LinuxSysfsName_IsRecognised) {
  EXPECT_TRUE(
      is_sensor_mouse_name("/sys/devices/pci0000:00/usb1/1-2/1-2:1.0/0003:0C45:7E11.0001/input/input7"));
}

TEST(SensorMouseName, OtherMiceAndOtherProductsOfTheMaker_AreNot) {
  EXPECT_FALSE(is_sensor_mouse_name(R"(\\?\HID#VID_046D&PID_C077#7&1a2b3c4d&0&0000#{378de44c})"));
  EXPECT_FALSE(is_sensor_mouse_name(R"(\\?\HID#VID_0C45&PID_6366#7&1a2b3c4d&0&0000#{378de44c})"));
  EXPECT_FALSE(is_sensor_mouse_name(""));
}

TEST(SensorMouseName, MarkAtTheVeryStart_DoesNotCount) {
  // Only the first occurrence is looked at, and it must stand past the first character.
  EXPECT_FALSE(is_sensor_mouse_name("0c45 mouse 7e11"));
  EXPECT_FALSE(is_sensor_mouse_name("7e11 mouse 0c45"));
  EXPECT_FALSE(is_sensor_mouse_name("0c45 0c45 7e11"));
  EXPECT_TRUE(is_sensor_mouse_name("x0c45 7e11"));
}

TEST(SensorMouseName, VendorWithoutProduct_IsNot) {
  EXPECT_FALSE(is_sensor_mouse_name("vid_0c45&pid_7e13"));
}

}  // namespace
}  // namespace corvane
