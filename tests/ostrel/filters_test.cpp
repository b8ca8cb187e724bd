// The detector's filters, judged by their gain at chosen frequencies: a sine is run through each and
// its steady-state amplitude measured.
#include "filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace corvane::ostrel {
namespace {

constexpr float kRate = 20.0f;

float measured_gain(const std::function<float(float)>& filter, float hz) {
  // Amplitude from the mean square over many cycles: a peak search would miss the crest of a sine
  // sampled only a few times per cycle.
  double square = 0.0;
  const int settle = 2000, measure = 4000;
  for (int i = 0; i < settle + measure; ++i) {
    const float x = std::sin(2.0f * 3.14159265f * hz * static_cast<float>(i) / kRate);
    const float y = filter(x);
    if (i >= settle) square += static_cast<double>(y) * y;
  }
  return static_cast<float>(std::sqrt(2.0 * square / measure));
}

TEST(InputFilters, lowpass_cascade_passes_the_pulse_band_and_stops_above_5_hz) {
  for (float hz : {0.5f, 1.0f, 2.0f, 3.0f}) {
    Biquad s[3];
    make_input_lowpass(s);
    EXPECT_NEAR(measured_gain([&](float x) { return s[2].step(s[1].step(s[0].step(x))); }, hz), 1.0f, 0.02f)
        << hz << " Hz";
  }
  for (float hz : {5.0f, 6.0f, 8.0f, 9.5f}) {
    Biquad s[3];
    make_input_lowpass(s);
    EXPECT_LT(measured_gain([&](float x) { return s[2].step(s[1].step(s[0].step(x))); }, hz), 0.05f) << hz;
  }
}

TEST(InputFilters, highpass_removes_drift_below_a_fifth_of_a_hertz) {
  auto gain = [](float hz) {
    Biquad second;
    FirstOrder first;
    make_input_highpass(second, first);
    return measured_gain([&](float x) { return first.step(second.step(x)); }, hz);
  };
  EXPECT_LT(gain(0.05f), 0.02f);
  EXPECT_NEAR(gain(0.2f), 0.707f, 0.05f);
  EXPECT_GT(gain(0.7f), 0.99f);
  EXPECT_NEAR(gain(2.0f), 1.0f, 0.01f);
}

TEST(AdaptiveLowpass, cutoff_falls_where_designed_at_each_end_of_its_range) {
  for (float fc : {0.5f, 1.94f, 4.0f}) {
    Biquad s[2];
    design_adaptive_lowpass(s, fc, kRate);
    auto run = [&](float x) { return s[1].step(s[0].step(x)); };
    EXPECT_NEAR(measured_gain(run, 0.2f * fc), 1.0f, 0.01f) << fc;
    s[0].clear();
    s[1].clear();
    EXPECT_NEAR(measured_gain(run, fc), 0.707f, 0.03f) << fc;
    s[0].clear();
    s[1].clear();
    // Fourth order: an octave above the cutoff is down by about 24 dB.
    if (2.0f * fc < 9.0f) {
      EXPECT_LT(measured_gain(run, 2.0f * fc), 0.08f) << fc;
    }
  }
}

TEST(AdaptiveLowpass, cascade_agrees_with_the_gain_formula_of_its_sections) {
  Biquad s[2];
  design_adaptive_lowpass(s, 1.5f, kRate);
  for (float hz : {0.3f, 1.0f, 1.5f, 2.5f}) {
    const float formula = section_gain(s[0], hz, kRate) * section_gain(s[1], hz, kRate);
    Biquad t[2] = {s[0], s[1]};
    EXPECT_NEAR(measured_gain([&](float x) { return t[1].step(t[0].step(x)); }, hz), formula, 0.01f) << hz;
  }
}

TEST(InputFilters, single_precision_recursion_stays_stable_for_the_lowest_cutoff) {
  Biquad s[2];
  design_adaptive_lowpass(s, 0.5f, kRate);
  float y = 0.0f;
  for (int i = 0; i < 200000; ++i)
    y = s[1].step(s[0].step(1.0f));
  EXPECT_NEAR(y, 1.0f, 0.01f);
}

}  // namespace
}  // namespace corvane::ostrel
