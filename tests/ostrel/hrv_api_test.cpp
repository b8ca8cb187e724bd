// Beat intervals, SDNN, spectral HRV and the display waveform through the C interface.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "library_fixture.h"
#include "ostrel.h"
#include "synthetic_pulse.h"

namespace corvane::ostrel_test {
namespace {

class BeatIntervals : public OpenLibrary {
 protected:
  void SetUp() override {
    OpenLibrary::SetUp();
    HRD_Set_FreqOffset(1.0f);
    ASSERT_GE(feed(pulse_readings(75.0, 70.0)), 0);
  }
};

TEST_F(BeatIntervals, intervals_collected_while_ready_match_the_rate) {
  const int n = HRD_GetRRIDataNumber();
  ASSERT_GT(n, 40);
  std::vector<float> rri(static_cast<size_t>(n));
  EXPECT_EQ(HRD_GetRRIDataBuffer(rri.data()), 1);
  for (float v : rri)
    EXPECT_NEAR(v, 800.0f, 20.0f);
  EXPECT_NEAR(HRD_Get_SDNN_HRAvg(), 75, 1);
}

TEST_F(BeatIntervals, sdnn_is_published_only_in_sdnn_mode) {
  EXPECT_GE(HRD_SDNNProcess(), 0);
  EXPECT_EQ(HRD_GetSDNN(), -1);
  EXPECT_EQ(HRD_GetSDNNRRIDataNumber(), 0);
  HRD_Set_SDNN_On();
  const int sdnn = HRD_SDNNProcess();
  EXPECT_GE(sdnn, 0);
  EXPECT_LT(sdnn, 15);  // a steady synthetic rhythm
  EXPECT_EQ(HRD_GetSDNN(), sdnn);
  EXPECT_GT(HRD_GetSDNNRRIDataNumber(), 30);
  EXPECT_GE(HRD_GetHRV_CVRR(), 0.0f);
}

TEST_F(BeatIntervals, spectral_hrv_needs_lf_hf_mode_and_memory) {
  EXPECT_EQ(HRD_HRVProcess(nullptr), 0);  // mode off
  HRD_Set_LHRatio_On();
  EXPECT_EQ(HRD_HRVProcess(nullptr), 0);  // no memory yet
  std::vector<unsigned char> memory(static_cast<size_t>(HRV_GetMemorySize()));
  HRV_SetMemory(memory.data(), static_cast<int>(memory.size()));
  float out[3] = {-5.0f, -5.0f, -5.0f};
  EXPECT_EQ(HRD_HRVProcess(out), 1);
  EXPECT_GE(out[0], 0.0f);
  EXPECT_GE(out[1], 0.0f);
  EXPECT_EQ(HRD_GetHRV_LF(), out[0]);
  HRV_SetMemory(nullptr, 0);
  HRD_Set_LHRatio_Off();
  EXPECT_EQ(HRD_GetHRV_LF(), -1.0f);
}

TEST(DisplayWaveform, follows_the_pulse_and_drops_bad_samples) {
  ASSERT_EQ(OFM_DisplayOpen(), 1);
  EXPECT_EQ(OFM_DisplayReset(), 0);
  float out = 0.0f;
  EXPECT_EQ(OFM_DisplayProcess(std::numeric_limits<float>::quiet_NaN(), &out, 1), 0);
  const std::vector<float> r = pulse_readings(60.0, 10.0);
  float lo = 1e9f, hi = -1e9f;
  for (size_t i = 0; i < r.size(); ++i) {
    ASSERT_EQ(OFM_DisplayProcess(r[i], &out, 1), 1);
    ASSERT_TRUE(std::isfinite(out));
    if (i > 100) {
      lo = std::fmin(lo, out);
      hi = std::fmax(hi, out);
    }
  }
  EXPECT_GT(hi - lo, 1000.0f);  // the 4000-unit pulse shows
  float latest[8];
  EXPECT_EQ(OFM_GetDisplayData(latest, 8), 8);
  EXPECT_EQ(latest[7], out);
  OFM_DisplayClose();
}

}  // namespace
}  // namespace corvane::ostrel_test
