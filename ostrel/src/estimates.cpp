#include "estimates.h"

#include <cmath>

#include "harmonics.h"

namespace corvane::ostrel {

int pct_off(float x, float ref) {
  if (ref <= 0.0f) return 100;
  const float v = 100.0f * std::fabs(x - ref) / ref;
  return v > 100000.0f ? 100000 : static_cast<int>(v);
}

EstimateSpread measure_spread(const Estimates& e, float average_interval) {
  // A rejected estimate is -1, which pct_of_larger and pct_off would still measure, so the rejected cases
  // get their fixed values explicitly.
  const bool spectral = e.spectral > 0, autocorrelation = e.autocorrelation > 0;
  EstimateSpread d;
  if (spectral) {
    d.spectral_vs_b = pct_of_larger(e.spectral, e.detector_b);
    d.spectral_from_average = pct_off(static_cast<float>(e.spectral), average_interval);
  }
  if (spectral && autocorrelation)
    d.spectral_vs_autocorrelation = pct_of_larger(e.spectral, e.autocorrelation);
  if (autocorrelation) {
    d.autocorrelation_vs_b = pct_of_larger(e.autocorrelation, e.detector_b);
    d.autocorrelation_from_average = pct_off(static_cast<float>(e.autocorrelation), average_interval);
  }
  d.b_from_average = pct_off(static_cast<float>(e.detector_b), average_interval);
  return d;
}

int pairs_within(const EstimateSpread& d, float limit_pct) {
  return (static_cast<float>(d.spectral_vs_b) < limit_pct) +
         (static_cast<float>(d.spectral_vs_autocorrelation) < limit_pct) +
         (static_cast<float>(d.autocorrelation_vs_b) < limit_pct);
}

int nearest_to_average(const Estimates& e, const EstimateSpread& d) {
  int nearest = e.spectral, off = d.spectral_from_average;
  if (d.b_from_average <= off) {
    nearest = e.detector_b;
    off = d.b_from_average;
  }
  if (d.autocorrelation_from_average <= off) nearest = e.autocorrelation;
  return nearest;
}

}  // namespace corvane::ostrel
