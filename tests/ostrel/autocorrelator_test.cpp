// The sliding autocorrelation on synthetic pulse trains of known period.
#include "autocorrelator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "synthetic_pulse.h"

namespace corvane::ostrel {
namespace {

class AutocorrelatorOnTrain : public ::testing::Test {
 protected:
  void SetUp() override {
    memory_.resize(static_cast<size_t>(Autocorrelator::memory_bytes(100, 40)) / 8 + 1);
    acf_.attach(memory_.data(), 100, 6, 40, 0.6f);
  }
  void push_train(double bpm, int samples, int start = 0) {
    for (int i = start; i < start + samples; ++i) {
      const double v = 1000.0 * (ostrel_test::pulse_wave(i / 20.0, bpm) - 0.4);
      acf_.push(static_cast<int32_t>(std::lround(v)));
    }
  }
  std::vector<int64_t> memory_;
  Autocorrelator acf_;
};

TEST_F(AutocorrelatorOnTrain, pulse_train_gives_its_period_and_high_quality) {
  for (double bpm : {50.0, 75.0, 100.0, 150.0}) {
    acf_.reset();
    push_train(bpm, 300);
    const Autocorrelator::Estimate e = acf_.estimate(50.0f);
    EXPECT_NEAR(e.interval_ms, 60000.0 / bpm, 0.03 * 60000.0 / bpm) << bpm;
    EXPECT_GT(e.quality, 90.0f) << bpm;
  }
}

TEST_F(AutocorrelatorOnTrain, picks_the_period_rather_than_its_multiple) {
  // At 150 bpm (8 samples) lags 16, 24 and 32 correlate as well as the period itself.
  push_train(150.0, 300);
  EXPECT_NEAR(acf_.estimate(50.0f).interval_ms, 400.0f, 15.0f);
}

TEST_F(AutocorrelatorOnTrain, white_noise_has_low_quality) {
  std::mt19937 rng(3);
  std::normal_distribution<double> n(0.0, 500.0);
  for (int i = 0; i < 400; ++i)
    acf_.push(static_cast<int32_t>(n(rng)));
  const Autocorrelator::Estimate e = acf_.estimate(50.0f);
  EXPECT_LT(e.quality, 40.0f);
}

TEST_F(AutocorrelatorOnTrain, silence_gives_no_estimate) {
  for (int i = 0; i < 200; ++i)
    acf_.push(0);
  EXPECT_LT(acf_.estimate(50.0f).interval_ms, 0.0f);
}

TEST_F(AutocorrelatorOnTrain, sums_do_not_drift_over_a_long_run) {
  // 75 bpm at 20 Hz repeats every 16 samples exactly; after 200000 more samples the window holds the
  // same values again and the estimate must be identical to the bit.
  push_train(75.0, 320);
  const Autocorrelator::Estimate early = acf_.estimate(50.0f);
  push_train(75.0, 200000, 320);
  const Autocorrelator::Estimate late = acf_.estimate(50.0f);
  EXPECT_EQ(early.interval_ms, late.interval_ms);
  EXPECT_EQ(early.quality, late.quality);
}

TEST_F(AutocorrelatorOnTrain, extreme_samples_do_not_overflow) {
  for (int i = 0; i < 400; ++i)
    acf_.push(i % 16 < 8 ? 16777216 : -16777216);
  const Autocorrelator::Estimate e = acf_.estimate(50.0f);
  EXPECT_NEAR(e.interval_ms, 800.0f, 30.0f);
  EXPECT_LE(e.quality, 100.0f);
}

}  // namespace
}  // namespace corvane::ostrel
