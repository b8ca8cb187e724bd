#pragma once

#include "spectrum.h"

namespace corvane::ostrel {

// Disagreement of two intervals in percent of the larger, truncated; 100 when either is not positive.
int pct_of_larger(int a, int b);

// True when one interval is about two, three or four times the other (within 8 %).
bool overtone_related(int a, int b);

// The spectrum is that of the pulse wave's slope, which weights each overtone by its order: on a sharp
// pulse or at a low rate an overtone outgrows the fundamental. Returns the interval the spectrum stands
// for: the strongest candidate's, or the longest weaker candidate's when that one lies at two to four times
// the strongest one's interval, holds at least `overtone_share` of its power and a time-domain estimate
// (detector B's interval `p_ms` or the autocorrelation's `a_ms`; 0 or less when unusable) measures beats
// at its interval. A candidate at three times the strongest one's interval with a line at half its
// interval needs detector B: those lines are also a two-beat pattern's, whose length the autocorrelation
// measures as well. Needs at least one candidate.
int fundamental_interval(const Spectrum::Result& peaks, float overtone_share, int p_ms, int a_ms);

// Power of the second spectral peak as a share of the strongest, for the second-peak test, which looks
// for a second rhythm. When `skip_overtones` is set and a time-domain estimate confirms `fundamental`,
// the candidates at the fundamental and at its overtones are that one rhythm, whichever of them is
// strongest, and are passed over for the next candidate. So are the harmonics of a two-beat pattern when the
// autocorrelation measures twice the fundamental's interval: alternating beats are one rhythm.
float rival_share(const Spectrum::Result& peaks, int fundamental, int p_ms, int a_ms, bool skip_overtones);

// Power at twice the rate of `interval_ms` as a share of the power at that rate, from the spectrum's
// values (`bins` of them; bin k is k / 128 of the sample rate `rate`). A pulse wave carries overtones,
// and in the spectrum of its slope the first one weighs double; a movement that swings smoothly back and
// forth is nearly a sine and carries almost none. Each rate is read as the larger of the two bins around
// it. -1 when twice the rate lies beyond the bins.
float overtone_share(const float* power, int bins, float rate, int interval_ms);

// The power at the rate of `interval_ms`, read as overtone_share reads it; 0 beyond the bins.
float power_at(const float* power, int bins, float rate, int interval_ms);

// Where the overtone of the rate of `interval_ms` actually lies: the strongest bin within a bin of twice
// the rate, refined by a parabola through the magnitudes, halved and given in percent off that rate
// (negative: slower). A swing that merges with the pulse into one spectral peak drags that peak toward
// itself, but has no overtone of its own, so the pulse's overtone stays where the pulse is. 0 when twice
// the rate lies beyond the bins or shows no peak.
float overtone_offset_pct(const float* power, int bins, float rate, int interval_ms);

}  // namespace corvane::ostrel
