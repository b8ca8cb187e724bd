// Each artefact must disturb a clean recording in its own way and at the size it is asked for, measured
// against the recording's own pulse amplitude; otherwise ostrel-eval's figures per kind and strength
// would compare disturbances that are not what their names say.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "motion_artefacts.h"

namespace corvane::ppg_motion {
namespace {

using ostrel_eval::TimedValue;

constexpr double kRate = 50.0;
constexpr double kBpm = 72.0;

// 60 s of a 72 bpm sine of amplitude 3 about 10: its pulse amplitude (5-95 % range) is about 6.
std::vector<TimedValue> clean() {
  std::vector<TimedValue> ppg;
  for (int i = 0; i < 60 * static_cast<int>(kRate); ++i) {
    const double t = i / kRate;
    ppg.push_back({t, 10.0 + 3.0 * std::sin(2.0 * std::numbers::pi * kBpm / 60.0 * t)});
  }
  return ppg;
}

std::vector<double> added(Artefact a, double strength) {
  const auto in = clean();
  const auto out = add_artefact(in, a, strength, kBpm, 7);
  EXPECT_EQ(out.size(), in.size());
  std::vector<double> d;
  for (size_t i = 0; i < in.size(); ++i) {
    EXPECT_EQ(out[i].t_s, in[i].t_s);
    d.push_back(out[i].value - in[i].value);
  }
  return d;
}

double largest(const std::vector<double>& v) {
  double m = 0.0;
  for (double x : v)
    m = std::max(m, std::fabs(x));
  return m;
}

TEST(MotionArtefacts, each_kind_disturbs_in_its_own_way_at_its_strength_of_the_pulse_amplitude) {
  const double amplitude = pulse_amplitude(clean());
  ASSERT_NEAR(amplitude, 6.0, 0.1);

  // Periodic motion: a sine of the strength's peak-to-peak span at 1.15, 1.8 or 1.45-1.55 times the
  // pulse rate.
  struct Periodic {
    Artefact kind;
    double factor, spread;
  };
  for (auto [kind, factor, spread] :
       {Periodic{Artefact::kNear, 1.15, 0.0}, Periodic{Artefact::kFar, 1.8, 0.0},
        Periodic{Artefact::kMid, 1.5, 0.05}}) {
    const std::vector<double> d = added(kind, 0.5);
    EXPECT_NEAR(largest(d), 0.25 * amplitude, 0.01 * amplitude) << name_of(kind);
    int crossings = 0;
    for (size_t i = 1; i < d.size(); ++i)
      crossings += (d[i - 1] < 0.0) != (d[i] < 0.0);
    const double hz = crossings / 2.0 / 60.0;
    EXPECT_NEAR(hz, factor * kBpm / 60.0, 0.01 + spread * kBpm / 60.0) << name_of(kind);
  }

  // Steps: the baseline holds a level between jumps, the levels reach up to the strength.
  const std::vector<double> steps = added(Artefact::kSteps, 1.0);
  int jumps = 0;
  for (size_t i = 1; i < steps.size(); ++i)
    jumps += std::fabs(steps[i] - steps[i - 1]) > 1e-9;
  EXPECT_GE(jumps, 4);  // one every 6-14 s
  EXPECT_LE(jumps, 10);
  EXPECT_LE(largest(steps), amplitude + 1e-9);
  EXPECT_GT(largest(steps), 0.2 * amplitude);

  // Bursts: nothing between them; within them movement up to the strength.
  const std::vector<double> bursts = added(Artefact::kBursts, 2.0);
  const auto quiet = std::count(bursts.begin(), bursts.end(), 0.0);
  EXPECT_GT(quiet, static_cast<long>(0.75 * static_cast<double>(bursts.size())));
  EXPECT_LT(quiet, static_cast<long>(bursts.size()));
  EXPECT_LE(largest(bursts), 2.0 * amplitude);

  // Pressure: the pulse about its median scaled by a gain within 1/2 .. 2 that changes over the recording.
  const auto in = clean();
  const auto pressed = add_artefact(in, Artefact::kPressure, 1.0, kBpm, 7);
  double low = 10.0, high = 0.0;
  for (size_t i = 0; i < in.size(); ++i) {
    if (std::fabs(in[i].value - 10.0) < 1.0) continue;
    const double gain = (pressed[i].value - 10.0) / (in[i].value - 10.0);
    low = std::min(low, gain);
    high = std::max(high, gain);
  }
  EXPECT_GE(low, 0.5 - 0.02);
  EXPECT_LE(high, 2.0 + 0.02);
  EXPECT_GT(high - low, 0.3);

  // The same seed gives the same disturbance.
  EXPECT_EQ(added(Artefact::kBursts, 2.0), bursts);
}

}  // namespace
}  // namespace corvane::ppg_motion
