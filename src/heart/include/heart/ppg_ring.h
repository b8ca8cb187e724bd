#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace corvane {

inline constexpr int kPpgRingSize = 2000;
inline constexpr std::uint32_t kBeatMark = 1u;  // bit 0 of a record's flags

// One sensor reading as the ring keeps it.
struct PpgRecord {
  std::uint32_t reading = 0;    // PPG reading; 0 marks a record that was never written
  std::uint32_t auxiliary = 0;  // auxiliary reading (its low byte is the contact byte)
  std::int32_t slope = 0;       // this reading minus the reading of the record written before it
  std::uint32_t flags = 0;      // kBeatMark when a beat was marked here
  std::int32_t time_ms = 0;     // process clock when the record was written

  bool empty() const { return reading == 0; }
  bool beat() const { return (flags & kBeatMark) != 0; }
};

// One point of the page's waveform.
struct WaveformPoint {
  std::uint32_t reading = 0;
  std::int32_t time_ms = 0;
  bool beat = false;
};

// The last 2000 readings, written in a circle. Starts all zero with the write position at 0, so the
// first record lands at position 1 and the position wraps from 1999 to 0.
class PpgRing final {
 public:
  //! Writes the next record: flags cleared, slope against the record before it (32-bit wrap-around).
  PpgRecord& push(std::uint32_t reading, std::uint32_t auxiliary, std::int32_t time_ms);

  //! Position (0-1999) of the newest record.
  int newest_position() const { return newest_; }
  const PpgRecord& at(int position) const { return records_[static_cast<std::size_t>(position)]; }
  PpgRecord& at(int position) { return records_[static_cast<std::size_t>(position)]; }

  //! The position `count` records before `position`, wrapping below 0 to 1999.
  static int back(int position, int count);

  //! Up to `count` of the newest records, oldest first, stopping at the first empty record.
  std::vector<WaveformPoint> recent(int count) const;

 private:
  std::array<PpgRecord, kPpgRingSize> records_{};
  int newest_ = 0;
};

}  // namespace corvane
