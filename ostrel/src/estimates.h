#pragma once

namespace corvane::ostrel {

// The three beat intervals a decision weighs, in milliseconds. An estimate the decision cannot use (a
// spectrum without a clear top peak, an autocorrelation of low quality) is -1.
struct Estimates {
  int spectral = -1;         // the spectral candidate S
  int detector_b = 0;        // the last interval of peak detector B, P
  int autocorrelation = -1;  // the autocorrelation's interval A
};

// How far apart the estimates lie. Between two estimates: percent of the larger interval, 100 when either
// is rejected. From the averaged interval: percent of the average, 100000 for a rejected estimate so that it
// is never the nearest.
struct EstimateSpread {
  int spectral_vs_b = 100;
  int spectral_vs_autocorrelation = 100;
  int autocorrelation_vs_b = 100;
  int spectral_from_average = 100000;
  int b_from_average = 100000;
  int autocorrelation_from_average = 100000;
};

// Detector B's interval must be positive; the others may be rejected.
EstimateSpread measure_spread(const Estimates& e, float average_interval);

// Percent that x lies off ref, truncated and capped at 100000; 100 when ref is not positive.
int pct_off(float x, float ref);

// How many of the three pairs lie closer than limit_pct.
int pairs_within(const EstimateSpread& d, float limit_pct);

// The estimate nearest the average; on a tie the later of spectral, detector B, autocorrelation.
int nearest_to_average(const Estimates& e, const EstimateSpread& d);

}  // namespace corvane::ostrel
