#include "session_scorer.h"

#include <algorithm>
#include <cmath>

#include "ostrel.h"

namespace corvane::ostrel_eval {
namespace {

constexpr int kFetchEvery = 51;
constexpr double kStabilisingMs = 8000.0;
constexpr float kLevel = 4101.0f;
constexpr double kReferenceSpanS = 10.0;

bool travelling(const std::vector<TimeSpan>& travel, double t_s) {
  return std::any_of(travel.begin(), travel.end(),
                     [t_s](const TimeSpan& s) { return s.from_s <= t_s && t_s < s.to_s; });
}

double quantile(std::vector<double> v, double q) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const double pos = q * static_cast<double>(v.size() - 1);
  const auto lo = static_cast<size_t>(std::floor(pos));
  const size_t hi = std::min(lo + 1, v.size() - 1);
  return v[lo] + (pos - static_cast<double>(lo)) * (v[hi] - v[lo]);
}

}  // namespace

void Score::add(const Score& o) {
  sessions += o.sessions;
  results += o.results;
  unscored += o.unscored;
  errors.insert(errors.end(), o.errors.begin(), o.errors.end());
  times_s.insert(times_s.end(), o.times_s.begin(), o.times_s.end());
  ready_error_sum += o.ready_error_sum;
  ready_error_count += o.ready_error_count;
}

double Score::mean_error() const {
  if (errors.empty()) return 0.0;
  double s = 0.0;
  for (double e : errors)
    s += e;
  return s / static_cast<double>(errors.size());
}
double Score::p90_error() const {
  return quantile(errors, 0.9);
}
double Score::max_error() const {
  return errors.empty() ? 0.0 : *std::max_element(errors.begin(), errors.end());
}
int Score::over(double bpm) const {
  return static_cast<int>(std::count_if(errors.begin(), errors.end(), [bpm](double e) { return e > bpm; }));
}
double Score::share_over(double bpm) const {
  return errors.empty() ? 0.0 : static_cast<double>(over(bpm)) / static_cast<double>(errors.size());
}
double Score::median_time() const {
  return quantile(times_s, 0.5);
}
double Score::mean_ready_error() const {
  return ready_error_count > 0 ? ready_error_sum / static_cast<double>(ready_error_count) : 0.0;
}

Score score_recording(const Recording& recording, const Options& options) {
  Score score;
  score.name = recording.name;
  const std::vector<double> ppg = resample(recording.ppg, options.rate_hz);
  const std::vector<unsigned> readings = to_readings(ppg, options.scale);
  const double t_first = recording.ppg.front().t_s;
  const auto per_session = static_cast<size_t>(std::llround(options.session_s * options.rate_hz));
  if (per_session == 0) return score;

  // The program's measurement state lives across contacts: the fetch counter and the running average.
  int fetch_counter = 0;
  float average = 0.0f;
  for (size_t start = 0; start + per_session <= readings.size(); start += per_session) {
    ++score.sessions;
    HRDReset();  // a new thumb contact
    double not_ready_ms = 0.0;
    bool fixed = false;
    for (size_t i = 0; i < per_session; ++i) {
      const double now_ms = static_cast<double>(i) * 1000.0 / options.rate_hz;
      const unsigned reading = readings[start + i];
      HRDProcessTop(0, 1, static_cast<float>(static_cast<double>(reading)), kLevel);
      if (++fetch_counter == kFetchEvery) {
        average = static_cast<float>(HRD_Get_HRAvg());
        fetch_counter = 0;
      }
      const bool ready = HRD_Get_ReadyFlag() != 0;
      const double t_abs = t_first + static_cast<double>(start + i) / options.rate_hz;
      if (!ready || (options.hold_while_travelling && travelling(recording.travel, t_abs)))
        not_ready_ms = now_ms;
      if (ready) {
        if (auto ref = mean_reference(recording.reference, t_abs - kReferenceSpanS, t_abs)) {
          score.ready_error_sum += std::fabs(static_cast<double>(average) - *ref);
          ++score.ready_error_count;
        }
      }
      if (!fixed && average > 40.0f && average < 180.0f && now_ms - not_ready_ms >= kStabilisingMs) {
        fixed = true;
        ++score.results;
        score.times_s.push_back(now_ms / 1000.0);
        auto ref = mean_reference(recording.reference, t_abs - kReferenceSpanS, t_abs);
        if (!ref)
          ref = mean_reference(recording.reference, t_abs - 2 * kReferenceSpanS, t_abs + kReferenceSpanS);
        if (ref) {
          score.errors.push_back(std::fabs(static_cast<double>(average) - *ref));
        } else {
          ++score.unscored;
        }
      }
    }
  }
  return score;
}

}  // namespace corvane::ostrel_eval
