#include "devices/sensor_mouse_identity.h"

#include <algorithm>
#include <cctype>

namespace corvane {
namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool found_after_start(const std::string& haystack, std::string_view needle) {
  const auto at = haystack.find(needle);
  return at != std::string::npos && at > 0;
}

}  // namespace

bool is_sensor_mouse_usb_id(std::string_view vendor, std::string_view product) {
  const std::string v = lower(vendor);
  const std::string p = lower(product);
  return v == "0c45" && (p == "7e11" || p == "7e12");
}

std::string sensor_node_name(std::string_view syspath, std::string_view vendor, std::string_view product) {
  std::string name(syspath);
  const std::string lowered = lower(name);
  const std::string v = lower(vendor);
  const std::string p = lower(product);
  if (found_after_start(lowered, v) && found_after_start(lowered, p)) return name;
  return name + "#vid_" + v + "&pid_" + p;
}

}  // namespace corvane
