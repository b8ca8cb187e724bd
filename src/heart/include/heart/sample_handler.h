#pragma once

#include <cstdint>
#include <span>

#include "heart/measurement_state.h"
#include "heart/ostrel_binding.h"
#include "heart/ppg_ring.h"

namespace corvane {

inline constexpr int kContactBelow = 20;       // a contact byte below this means a thumb is on the sensor
inline constexpr int kAverageFetchEvery = 51;  // readings fed between two fetches of the average
inline constexpr int kSlopeWindow = 60;        // records before the newest scanned for a beat

// Takes one 12-byte sample block into the ring and the measurement state and, while a thumb rests on the
// sensor, into the detector. `detector` is null while no detector is open: readings still enter the ring
// but nothing is fed, fetched or marked.
void handle_sample_block(PpgRing& ring, MeasurementState& state, const OstrelEntryPoints* detector,
                         std::span<const std::uint8_t, 12> block, std::int64_t now_ms);

}  // namespace corvane
