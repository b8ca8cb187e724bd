// The 128-point FFT against a direct DFT, and the spectrum's peak picking on tones of known frequency.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "fft.h"
#include "spectrum.h"

namespace corvane::ostrel {
namespace {

TEST(Fft128, matches_a_direct_dft_of_random_input) {
  FftTables tables;
  init_fft_tables(tables);
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> u(-1000.0f, 1000.0f);
  float re[kFftSize], im[kFftSize];
  std::vector<std::complex<double>> input(kFftSize);
  for (int i = 0; i < kFftSize; ++i) {
    re[i] = u(rng);
    im[i] = u(rng);
    input[i] = {re[i], im[i]};
  }
  fft128(tables, re, im);
  double worst = 0.0, scale = 0.0;
  for (int k = 0; k < kFftSize; ++k) {
    std::complex<double> sum = 0.0;
    for (int n = 0; n < kFftSize; ++n)
      sum += input[n] * std::polar(1.0, -2.0 * M_PI * k * n / kFftSize);
    worst = std::max(worst, std::abs(sum - std::complex<double>(re[k], im[k])));
    scale = std::max(scale, std::abs(sum));
  }
  EXPECT_LT(worst / scale, 1e-5);
}

TEST(Fft128, impulse_gives_a_flat_spectrum) {
  FftTables tables;
  init_fft_tables(tables);
  float re[kFftSize] = {}, im[kFftSize] = {};
  re[3] = 1.0f;
  fft128(tables, re, im);
  for (int k = 0; k < kFftSize; ++k)
    EXPECT_NEAR(std::hypot(re[k], im[k]), 1.0f, 1e-5f) << k;
}

class SpectrumOfTone : public ::testing::Test {
 protected:
  Spectrum::Result run(float hz, float second_hz = 0.0f, float second_amp = 0.0f) {
    spectrum_.attach(memory_, 4, 27, true, false);
    for (int i = 0; i < 128; ++i) {
      const float t = static_cast<float>(i) / 20.0f;
      spectrum_.push(1000.0f * std::sin(2.0f * 3.14159265f * hz * t) +
                     second_amp * std::sin(2.0f * 3.14159265f * second_hz * t));
    }
    return spectrum_.compute(20.0f);
  }
  float memory_[4 * kFftSize];
  Spectrum spectrum_;
};

TEST_F(SpectrumOfTone, pure_tone_between_bins_gives_its_interval_within_one_percent) {
  for (float bpm : {48.0f, 61.0f, 75.0f, 92.0f, 118.0f, 150.0f}) {
    const Spectrum::Result r = run(bpm / 60.0f);
    ASSERT_GE(r.count, 1) << bpm;
    EXPECT_NEAR(r.interval_ms[0], 60000.0f / bpm, 0.01f * 60000.0f / bpm) << bpm;
    EXPECT_GT(r.top_fraction, 0.8f) << bpm;
  }
}

TEST_F(SpectrumOfTone, two_tones_are_ranked_strongest_first) {
  const Spectrum::Result r = run(1.2f, 2.6f, 600.0f);
  ASSERT_GE(r.count, 2);
  EXPECT_NEAR(r.interval_ms[0], 833.0f, 10.0f);
  EXPECT_NEAR(r.interval_ms[1], 385.0f, 6.0f);
  EXPECT_GT(r.magnitude[0], r.magnitude[1]);
}

TEST_F(SpectrumOfTone, silence_gives_no_candidate) {
  spectrum_.attach(memory_, 4, 27, true, false);
  for (int i = 0; i < 128; ++i)
    spectrum_.push(0.0f);
  const Spectrum::Result r = spectrum_.compute(20.0f);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.top_fraction, 0.0f);
}

}  // namespace
}  // namespace corvane::ostrel
