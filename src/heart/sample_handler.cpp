#include "heart/sample_handler.h"

#include <limits>

namespace corvane {
namespace {

// The lowest slope over the records of the window that fall more steeply than the record after them;
// false when no record of the window does.
bool window_minimum(const PpgRing& ring, std::int32_t& minimum) {
  const int newest = ring.newest_position();
  bool found = false;
  minimum = std::numeric_limits<std::int32_t>::max();
  for (int i = 1; i <= kSlopeWindow; ++i) {
    const PpgRecord& r = ring.at(PpgRing::back(newest, i));
    if (r.empty()) break;
    const PpgRecord& after = ring.at(PpgRing::back(newest, i - 1));
    if (r.slope < after.slope && r.slope < minimum) {
      minimum = r.slope;
      found = true;
    }
  }
  return found;
}

// Marks a beat at the newest record of the window that carries the window minimum, unless a beat
// already marked in the window comes first.
void mark_beat(PpgRing& ring, MeasurementState& state, std::int32_t minimum, std::int64_t now_ms) {
  const int newest = ring.newest_position();
  for (int i = 1; i <= kSlopeWindow; ++i) {
    PpgRecord& r = ring.at(PpgRing::back(newest, i));
    if (r.empty() || r.beat()) return;
    const PpgRecord& after = ring.at(PpgRing::back(newest, i - 1));
    if (r.slope == minimum && r.slope < after.slope) {
      r.flags |= kBeatMark;
      state.beat_ms = now_ms;
      return;
    }
  }
}

// The detector takes its readings as float converted through double, as 32-bit values do not fit a float
// exactly either way.
float as_detector_value(std::uint32_t v) {
  return static_cast<float>(static_cast<double>(v));
}

}  // namespace

void handle_sample_block(PpgRing& ring, MeasurementState& state, const OstrelEntryPoints* detector,
                         std::span<const std::uint8_t, 12> block, std::int64_t now_ms) {
  const bool contact = block[5] < kContactBelow;
  state.contact = contact;
  if (contact != state.previous_contact) {
    // A new contact period (thumb placed or lifted) starts the detector afresh, once per change.
    state.previous_contact = contact;
    if (detector && detector->reset) detector->reset();
  }
  if (!contact) state.hold = false;

  const std::uint32_t reading = std::uint32_t{block[1]} | std::uint32_t{block[2]} << 8 |
                                std::uint32_t{block[3]} << 16 | std::uint32_t{block[4]} << 24;
  const std::uint32_t auxiliary =
      std::uint32_t{block[5]} | std::uint32_t{block[6]} << 8 | std::uint32_t{block[7]} << 16;
  ring.push(reading, auxiliary, static_cast<std::int32_t>(now_ms));

  if (detector && contact) {
    if (detector->process_top)
      detector->process_top(0, 1, as_detector_value(reading), as_detector_value(auxiliary));
    if (++state.fetch_counter >= kAverageFetchEvery) {
      if (detector->get_average) state.running_average = static_cast<float>(detector->get_average());
      state.fetch_counter = 0;
    }
  }

  std::int32_t minimum = 0;
  const bool has_minimum = window_minimum(ring, minimum);

  if (contact) {
    if (!detector) return;
    if (has_minimum) mark_beat(ring, state, minimum, now_ms);
    // Without its ready entry point the detector cannot say it trusts its rate: count it as not ready.
    const bool ready = detector->get_ready_flag && detector->get_ready_flag() != 0;
    state.ready = ready;
    if (!ready) state.not_ready_ms = now_ms;
  } else {
    state.not_ready_ms = now_ms;
    state.no_contact_ms = now_ms;
    state.ready = false;
    state.result_fixed = false;
  }
}

}  // namespace corvane
