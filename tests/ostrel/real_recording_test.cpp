// On real fingertip recordings the detector locks and its average lands near the ECG-derived reference.
// The bound is generous; ostrel-eval gives the precise figures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "library_fixture.h"
#include "ostrel.h"
#include "recording.h"

namespace corvane::ostrel_test {
namespace {

class RealRecording : public OpenLibrary, public ::testing::WithParamInterface<const char*> {};

TEST_P(RealRecording, locks_within_30_s_and_lands_near_the_reference) {
  const std::string base = std::string(CORVANE_TEST_DATA_DIR) + "/ppg/" + GetParam();
  const auto ppg = ostrel_eval::read_csv(base + ".ppg.csv");
  const auto reference = ostrel_eval::read_csv(base + ".ref.csv");
  ASSERT_FALSE(ppg.empty());
  const std::vector<unsigned> readings = ostrel_eval::to_readings(ostrel_eval::resample(ppg, 20.0), 1.0);
  ASSERT_GT(readings.size(), 1200u);
  HRD_Set_FreqOffset(1.0f);
  int ready_since = -1;
  for (int i = 0; i < 1200; ++i) {
    const bool ready = HRDProcessTop(0, 1, static_cast<float>(readings[static_cast<size_t>(i)]), kLevel) != 0;
    if (!ready) {
      ready_since = -1;
      continue;
    }
    if (ready_since < 0) ready_since = i;
    if (i - ready_since == 160) {  // ready for 8 s
      const double t = ppg.front().t_s + i / 20.0;
      const auto ref = ostrel_eval::mean_reference(reference, t - 10.0, t);
      ASSERT_TRUE(ref.has_value());
      EXPECT_LT(i / 20.0, 30.0);
      EXPECT_NEAR(HRD_Get_HRAvg(), *ref, 6.0) << "at " << i / 20.0 << " s";
      return;
    }
  }
  FAIL() << "never held ready for 8 s";
}

INSTANTIATE_TEST_SUITE_P(Recordings, RealRecording,
                         ::testing::Values("cinc2015_v102s", "cinc2015_a103l", "welltory_s16"));

}  // namespace
}  // namespace corvane::ostrel_test
