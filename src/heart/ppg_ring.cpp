#include "heart/ppg_ring.h"

#include <algorithm>

namespace corvane {

PpgRecord& PpgRing::push(std::uint32_t reading, std::uint32_t auxiliary, std::int32_t time_ms) {
  const std::uint32_t before = records_[static_cast<std::size_t>(newest_)].reading;
  newest_ = newest_ == kPpgRingSize - 1 ? 0 : newest_ + 1;
  PpgRecord& r = records_[static_cast<std::size_t>(newest_)];
  r.flags = 0;
  r.reading = reading;
  r.time_ms = time_ms;
  // Unsigned subtraction wraps; reinterpreting it as signed gives the slope a sensor counter crossing
  // 2^32 would have.
  r.slope = static_cast<std::int32_t>(reading - before);
  r.auxiliary = auxiliary;
  return r;
}

int PpgRing::back(int position, int count) {
  const int p = (position - count) % kPpgRingSize;
  return p < 0 ? p + kPpgRingSize : p;
}

std::vector<WaveformPoint> PpgRing::recent(int count) const {
  std::vector<WaveformPoint> points;
  count = std::clamp(count, 0, kPpgRingSize);
  points.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const PpgRecord& r = at(back(newest_, i));
    if (r.empty()) break;
    points.push_back({r.reading, r.time_ms, r.beat()});
  }
  std::reverse(points.begin(), points.end());
  return points;
}

}  // namespace corvane
