#include "input/sensor_report.h"

namespace corvane {

SensorDecode decode_sensor_report(std::span<const std::uint8_t> r) {
  if (r.size() == 16 && r[0] == 1) {
    if (r[1] == 0x0E) return {SensorAction::ShowHeartPage, 0};
    if (r[1] == 0x0D) return {SensorAction::SampleBlock, 2};
    return {};
  }
  if (r.size() == 17 && r[0] == 0 && r[1] == 8 && r[2] == 8) {
    if (r[3] == 0x0E) return {SensorAction::ShowHeartPage, 0};
    if (r[3] == 0x01) return {SensorAction::SampleBlock, 3};
    return {};
  }
  return {};
}

}  // namespace corvane
