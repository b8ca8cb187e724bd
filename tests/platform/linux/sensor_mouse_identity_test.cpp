#include "devices/sensor_mouse_identity.h"

#include <gtest/gtest.h>

#include "input/sensor_mouse.h"

namespace corvane {
namespace {

TEST(SensorMouseIdentity, usb_ids_of_both_models_match_in_any_case) {
  EXPECT_TRUE(is_sensor_mouse_usb_id("0c45", "7e11"));
  EXPECT_TRUE(is_sensor_mouse_usb_id("0C45", "7E12"));
  EXPECT_FALSE(is_sensor_mouse_usb_id("0c45", "7e13"));
  EXPECT_FALSE(is_sensor_mouse_usb_id("046d", "7e11"));
  EXPECT_FALSE(is_sensor_mouse_usb_id("", ""));
}

TEST(SensorMouseIdentity, node_name_under_a_usb_hid_device_is_its_sysfs_path) {
  const std::string path =
      "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:0C45:7E12.0004/hidraw/hidraw3";
  EXPECT_EQ(sensor_node_name(path, "0c45", "7e12"), path);
  EXPECT_TRUE(is_sensor_mouse_name(sensor_node_name(path, "0c45", "7e12")));
}

TEST(SensorMouseIdentity, node_name_without_the_ids_in_its_path_gets_them_appended) {
  const std::string name = sensor_node_name("/sys/devices/virtual/input/input9/event9", "0c45", "7e11");
  EXPECT_TRUE(is_sensor_mouse_name(name));
  EXPECT_EQ(name.rfind("/sys/devices/virtual/input/input9/event9", 0), 0u);
}

}  // namespace
}  // namespace corvane
