#include "motion_artefacts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane::ppg_motion {
namespace {

using ostrel_eval::TimedValue;
using ostrel_eval::TimeSpan;

// Portable random numbers (the standard distributions differ between libraries), so that a seed gives
// the same disturbance everywhere.
class Random final {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  // Uniform in [lo, hi).
  double uniform(double lo, double hi) {
    state_ += 0x9e3779b97f4a7c15ULL;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    return lo + (hi - lo) * static_cast<double>(z >> 11) / 9007199254740992.0;
  }

 private:
  uint64_t state_;
};

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const double pos = p * static_cast<double>(v.size() - 1);
  const auto lo = static_cast<size_t>(std::floor(pos));
  const size_t hi = std::min(lo + 1, v.size() - 1);
  return v[lo] + (pos - static_cast<double>(lo)) * (v[hi] - v[lo]);
}

// Times at which the events start, 6-14 s apart, the first within the first 8 s.
std::vector<double> event_times(double t_end, Random& random) {
  std::vector<double> times;
  for (double t = random.uniform(6.0, 14.0) - 6.0; t < t_end; t += random.uniform(6.0, 14.0))
    times.push_back(t);
  return times;
}

// Each event sets a new value, the value since the latest event before t (`base` before the first).
double latest(const std::vector<double>& times, const std::vector<double>& values, double t, double base) {
  double v = base;
  for (size_t i = 0; i < times.size() && times[i] <= t; ++i)
    v = values[i];
  return v;
}

}  // namespace

std::string name_of(Artefact a) {
  switch (a) {
    case Artefact::kSteps:
      return "steps";
    case Artefact::kPressure:
      return "pressure";
    case Artefact::kBursts:
      return "bursts";
    case Artefact::kNear:
      return "near";
    case Artefact::kFar:
      return "far";
    case Artefact::kMid:
      return "mid";
  }
  return "?";
}

std::optional<Artefact> artefact_named(const std::string& name) {
  for (Artefact a : kAllArtefacts)
    if (name_of(a) == name) return a;
  return std::nullopt;
}

double pulse_amplitude(const std::vector<TimedValue>& ppg) {
  if (ppg.empty()) return 0.0;
  std::vector<double> values;
  values.reserve(ppg.size());
  for (const TimedValue& p : ppg)
    values.push_back(p.value);
  return percentile(values, 0.95) - percentile(values, 0.05);
}

std::vector<TimedValue> add_artefact(const std::vector<TimedValue>& ppg, Artefact artefact, double strength,
                                     double mean_rate_bpm, uint64_t seed, std::vector<TimeSpan>* travel) {
  std::vector<TimedValue> out = ppg;
  std::vector<TimeSpan> moved;
  if (travel != nullptr) travel->clear();
  if (ppg.empty()) return out;
  const double size = strength * pulse_amplitude(ppg);
  const double t0 = ppg.front().t_s, t_end = ppg.back().t_s - t0;
  Random random(seed);
  const std::vector<double> events = event_times(t_end, random);

  switch (artefact) {
    case Artefact::kSteps: {
      std::vector<double> levels;
      for (size_t i = 0; i < events.size(); ++i)
        levels.push_back(random.uniform(-size, size));
      for (TimedValue& p : out)
        p.value += latest(events, levels, p.t_s - t0, 0.0);
      for (double e : events)
        moved.push_back({t0 + e, t0 + e + 0.5});
      break;
    }
    case Artefact::kPressure: {
      // The gain ramps linearly from the previous one to the event's over 1 s; it scales the pulse about
      // its median, as pressing changes how much blood the tissue lets pulse.
      std::vector<double> gains;
      for (size_t i = 0; i < events.size(); ++i)
        gains.push_back(std::pow(1.0 + strength, random.uniform(-1.0, 1.0)));
      std::vector<double> values;
      for (const TimedValue& p : ppg)
        values.push_back(p.value);
      const double median = percentile(values, 0.5);
      for (TimedValue& p : out) {
        const double t = p.t_s - t0;
        double gain = 1.0;
        for (size_t e = 0; e < events.size() && events[e] <= t; ++e) {
          // Events lie 6 s or more apart: every ramp has ended before the next begins.
          const double from = e == 0 ? 1.0 : gains[e - 1];
          gain = from + std::min(1.0, t - events[e]) * (gains[e] - from);
        }
        p.value = median + (p.value - median) * gain;
      }
      break;
    }
    case Artefact::kBursts: {
      // Random movement: values drawn at 10 per second and joined linearly, under a Hann window.
      for (double start : events) {
        const double length = random.uniform(0.3, 1.5);
        moved.push_back({t0 + start, t0 + start + length});
        std::vector<double> knots;
        for (int k = 0; k <= static_cast<int>(length * 10.0) + 1; ++k)
          knots.push_back(random.uniform(-size, size));
        for (TimedValue& p : out) {
          const double t = p.t_s - t0 - start;
          if (t < 0.0 || t >= length) continue;
          const double x = t * 10.0;
          const auto k = static_cast<size_t>(x);
          const double movement = knots[k] + (x - static_cast<double>(k)) * (knots[k + 1] - knots[k]);
          const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t / length);
          p.value += window * movement;
        }
      }
      break;
    }
    case Artefact::kNear:
    case Artefact::kFar:
    case Artefact::kMid: {
      const double phase = random.uniform(0.0, 2.0 * std::numbers::pi);
      // Drawn after the phase, so that the near and far swings stay what they were.
      const double times = artefact == Artefact::kNear  ? 1.15
                           : artefact == Artefact::kFar ? 1.8
                                                        : random.uniform(1.45, 1.55);
      const double hz = times * mean_rate_bpm / 60.0;
      for (TimedValue& p : out)
        p.value += 0.5 * size * std::sin(2.0 * std::numbers::pi * hz * (p.t_s - t0) + phase);
      moved.push_back({t0, ppg.back().t_s + 1.0});
      break;
    }
  }
  if (travel != nullptr) *travel = std::move(moved);
  return out;
}

}  // namespace corvane::ppg_motion
