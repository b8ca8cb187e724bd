#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace corvane {

// What a vendor-collection report of the sensor mouse asks for.
enum class SensorAction {
  Ignore,         // unknown layout or code
  ShowHeartPage,  // bring the heart-rate page up
  SampleBlock,    // hand the 12 bytes at `block_offset` to the heart-rate side
};

struct SensorDecode {
  SensorAction action = SensorAction::Ignore;
  std::size_t block_offset = 0;
};

inline constexpr std::size_t kSampleBlockSize = 12;

//! Classifies one report in the raw-input layout (report-ID byte first). Two layouts exist:
//! 16 bytes with report ID 1 and the code in byte 1 (0x0E page, 0x0D samples from byte 2), and
//! 17 bytes starting 0x00 0x08 0x08 with the code in byte 3 (0x0E page, 0x01 samples from byte 3).
SensorDecode decode_sensor_report(std::span<const std::uint8_t> report);

}  // namespace corvane
