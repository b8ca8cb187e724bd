#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recording.h"

namespace corvane::ppg_motion {

// The disturbances a hand on the mouse adds to a resting thumb's pulse wave.
enum class Artefact {
  kSteps,     // the baseline jumps to a new level every 6-14 s (the thumb shifting)
  kPressure,  // the pulse amplitude ramps to a new gain within 1 s every 6-14 s (pressing harder or softer)
  kBursts,    // 0.3-1.5 s of random movement every 6-14 s (a click, a nudge)
  kNear,      // steady periodic motion at 1.15 times the mean reference rate (tapping in step with the pulse)
  kFar,       // steady periodic motion at 1.8 times the mean reference rate, between overtones
  kMid,       // steady periodic motion at 1.45-1.55 times the mean reference rate: pulse and swing repeat
              // every two beats, as alternating beats do
};

inline constexpr Artefact kAllArtefacts[] = {Artefact::kSteps, Artefact::kPressure, Artefact::kBursts,
                                             Artefact::kNear,  Artefact::kFar,      Artefact::kMid};

std::string name_of(Artefact a);
std::optional<Artefact> artefact_named(const std::string& name);

// The recording's pulse amplitude: the 5-95 % percentile range of its values, the measure the evaluator
// normalises by.
double pulse_amplitude(const std::vector<ostrel_eval::TimedValue>& ppg);

// The PPG with the artefact added at `strength` times its pulse amplitude: the steps' levels, the bursts'
// peaks and the periodic motion's peak-to-peak span reach that size; the pressure gain ranges over
// 1 / (1 + strength) .. 1 + strength. `mean_rate_bpm` sets the periodic motion's rate. The same seed
// gives the same disturbance. `travel`, when given, receives the times the hand moved the mouse with it:
// the 0.5 s of each shift of the thumb, each burst, the whole recording under periodic motion; pressing
// harder or softer moves nothing.
std::vector<ostrel_eval::TimedValue> add_artefact(const std::vector<ostrel_eval::TimedValue>& ppg,
                                                  Artefact artefact, double strength, double mean_rate_bpm,
                                                  uint64_t seed,
                                                  std::vector<ostrel_eval::TimeSpan>* travel = nullptr);

}  // namespace corvane::ppg_motion
