// SDNN with its outlier filter, and the spectral HRV bands, on interval series of known content.
#include "hrv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace corvane::ostrel {
namespace {

std::vector<float> modulated_intervals(float mean_ms, float depth_ms, float hz, int count) {
  std::vector<float> rri;
  float t = 0.0f;
  for (int i = 0; i < count; ++i) {
    const float v = mean_ms + depth_ms * std::sin(2.0f * 3.14159265f * hz * t);
    rri.push_back(v);
    t += v / 1000.0f;
  }
  return rri;
}

TEST(Sdnn, regular_series_gives_its_population_deviation) {
  const std::vector<float> rri = {800, 820, 800, 820, 800, 820, 800, 820};
  std::vector<float> kept(rri.size());
  const SdnnResult r = compute_sdnn(rri.data(), static_cast<int>(rri.size()), 5, kept.data());
  EXPECT_NEAR(r.raw_sdnn, 10.0f, 1e-3f);
  EXPECT_NEAR(r.published, 10.0f, 1e-3f);
  EXPECT_EQ(r.kept, 8);
}

TEST(Sdnn, missed_beat_is_filtered_and_the_filtered_value_published) {
  std::vector<float> rri = {800, 810, 805, 795, 1600, 800, 810, 805, 790, 800};
  std::vector<float> kept(rri.size());
  const SdnnResult r = compute_sdnn(rri.data(), static_cast<int>(rri.size()), 5, kept.data());
  EXPECT_EQ(r.kept, 9);
  EXPECT_GT(r.raw_sdnn, 200.0f);
  EXPECT_LT(r.filtered_sdnn, 10.0f);
  EXPECT_FLOAT_EQ(r.published, r.filtered_sdnn);
}

TEST(SpectralHrv, slow_modulation_lands_in_lf_and_fast_in_hf) {
  const std::vector<float> lf_series = modulated_intervals(900.0f, 40.0f, 0.1f, 200);
  const std::vector<float> hf_series = modulated_intervals(900.0f, 40.0f, 0.3f, 200);
  for (const auto* series : {&lf_series, &hf_series}) {
    const int n = static_cast<int>(series->size());
    std::vector<float> memory(static_cast<size_t>(hrv_memory_floats(series->data(), n)));
    HrvResult r;
    ASSERT_TRUE(compute_hrv(series->data(), n, memory.data(), static_cast<int>(memory.size()), r));
    if (series == &lf_series) {
      EXPECT_GT(r.lf, 10.0f * r.hf);
    } else {
      EXPECT_GT(r.hf, 10.0f * r.lf);
    }
    // A sine of amplitude 40 ms has a variance of 800 ms^2. The slow one keeps nearly all of it; the fast
    // one loses some to the linear interpolation between beats (about 0.6 of it at 0.3 Hz and 1.1 beats/s).
    EXPECT_NEAR(r.lf + r.hf, series == &lf_series ? 800.0f : 500.0f, 100.0f);
  }
}

TEST(SpectralHrv, refuses_too_little_memory_or_too_short_a_series) {
  const std::vector<float> rri = modulated_intervals(900.0f, 40.0f, 0.1f, 200);
  const int n = static_cast<int>(rri.size());
  std::vector<float> memory(static_cast<size_t>(hrv_memory_floats(rri.data(), n)));
  HrvResult r;
  EXPECT_FALSE(compute_hrv(rri.data(), n, memory.data(), static_cast<int>(memory.size()) - 1, r));
  EXPECT_FALSE(compute_hrv(rri.data(), 20, memory.data(), static_cast<int>(memory.size()), r));
  EXPECT_FALSE(compute_hrv(rri.data(), n, nullptr, 0, r));
}

}  // namespace
}  // namespace corvane::ostrel
