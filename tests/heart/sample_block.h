#pragma once

#include <cstdint>
#include <span>

namespace corvane::testing {

// A 12-byte sample block: reading in bytes 1-4, contact byte 5, the rest of the auxiliary reading in 6-7.
struct Block {
  std::uint8_t bytes[12]{};
  Block(std::uint32_t reading, std::uint8_t contact_byte, std::uint16_t aux_high = 0) {
    bytes[0] = 0x01;
    for (int i = 0; i < 4; ++i)
      bytes[1 + i] = static_cast<std::uint8_t>(reading >> (8 * i));
    bytes[5] = contact_byte;
    bytes[6] = static_cast<std::uint8_t>(aux_high);
    bytes[7] = static_cast<std::uint8_t>(aux_high >> 8);
    bytes[8] = 0xEE;  // unused bytes carry noise that must not be read
  }
  std::span<const std::uint8_t, 12> span() const { return std::span<const std::uint8_t, 12>(bytes, 12); }
};

inline constexpr std::uint8_t kOn = 5;    // contact byte with a thumb on the sensor
inline constexpr std::uint8_t kOff = 40;  // contact byte without

}  // namespace corvane::testing
