// How the decision reads the spectrum's candidates: which one is the fundamental, and whether a second
// candidate is a rival rhythm or only the overtones of the one rhythm.
#include "harmonics.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace corvane::ostrel {
namespace {

// Candidates as (interval ms, power), strongest first.
Spectrum::Result candidates(std::initializer_list<std::pair<int, float>> list) {
  Spectrum::Result r;
  for (const auto& [interval, power] : list) {
    r.interval_ms[r.count] = static_cast<uint16_t>(interval);
    r.magnitude[r.count] = power;
    ++r.count;
  }
  return r;
}

TEST(OvertoneRelation, holds_for_two_three_and_four_times_within_eight_percent_either_way) {
  for (int k : {2, 3, 4}) {
    EXPECT_TRUE(overtone_related(1000 * k, 1000)) << k;
    EXPECT_TRUE(overtone_related(1000, 1000 * k)) << k;
    EXPECT_TRUE(overtone_related(1000 * k, 1070)) << k << " x, 7 % off";
    EXPECT_FALSE(overtone_related(1000 * k, 1100)) << k << " x, 10 % off";
  }
  EXPECT_FALSE(overtone_related(2500, 1000));
  EXPECT_FALSE(overtone_related(1000, 1000));
  EXPECT_FALSE(overtone_related(0, 1000));
}

TEST(FundamentalInterval, an_overtone_on_top_yields_to_the_fundamental_that_the_beats_measure) {
  // 110 bpm on top (545 ms), 55 bpm (1090 ms) below it with half its power.
  const auto peaks = candidates({{545, 1.0f}, {1090, 0.5f}, {700, 0.3f}});
  EXPECT_EQ(fundamental_interval(peaks, 0.1f, 1080, -1), 1090) << "detector B measures it";
  EXPECT_EQ(fundamental_interval(peaks, 0.1f, 700, 1100), 1090)
      << "B is off, the autocorrelation measures it";
  EXPECT_EQ(fundamental_interval(peaks, 0.1f, 700, -1), 545) << "nothing measures it";
  EXPECT_EQ(fundamental_interval(peaks, 0.0f, 1080, 1100), 545) << "the overtone rule is off";
  EXPECT_EQ(fundamental_interval(candidates({{545, 1.0f}, {1090, 0.05f}}), 0.1f, 1080, 1100), 545)
      << "too weak to be the fundamental";
  EXPECT_EQ(fundamental_interval(candidates({{545, 1.0f}, {1360, 0.5f}}), 0.1f, 1360, 1360), 545)
      << "2.5 times is no overtone";

  // Lines at one, two and three times 64 bpm, the third on top: a 128 bpm pulse under a swing at 192 bpm
  // shows them as well, and the autocorrelation measures the two-beat pattern either way.
  const auto pattern = candidates({{310, 1.0f}, {470, 0.45f}, {940, 0.3f}});
  EXPECT_EQ(fundamental_interval(pattern, 0.1f, 700, 940), 310) << "only the pattern's length measures it";
  EXPECT_EQ(fundamental_interval(pattern, 0.1f, 930, 940), 940) << "detector B counts the slow beats";
}

TEST(RivalShare, the_overtones_of_a_confirmed_fundamental_are_no_rival_whichever_is_strongest) {
  // Fundamental 1100 ms (55 bpm); its 2nd and 3rd overtones outgrow it.
  const auto harmonics = candidates({{550, 1.0f}, {1100, 0.9f}, {367, 0.8f}});
  EXPECT_EQ(rival_share(harmonics, 1100, 1090, -1, true), 0.0f) << "confirmed by detector B";
  EXPECT_EQ(rival_share(harmonics, 1100, 700, 1120, true), 0.0f) << "confirmed by the autocorrelation";
  EXPECT_FLOAT_EQ(rival_share(harmonics, 1100, 700, 800, true), 0.9f) << "unconfirmed: counted as it stands";
  EXPECT_FLOAT_EQ(rival_share(harmonics, 1100, 1090, 1120, false), 0.9f) << "skipping is off";

  // A candidate unrelated to the fundamental is a rival even when the rest are overtones.
  const auto rival = candidates({{1100, 1.0f}, {550, 0.8f}, {760, 0.6f}});
  EXPECT_FLOAT_EQ(rival_share(rival, 1100, 1090, 1120, true), 0.6f);
  EXPECT_EQ(rival_share(candidates({{1100, 1.0f}}), 1100, 1090, 1120, true), 0.0f) << "one candidate";
}

TEST(RivalShare,
     the_harmonics_of_alternating_beats_are_no_rival_when_the_autocorrelation_measures_two_beats) {
  // 80 bpm beats (750 ms) alternating strong and weak: the wave repeats every 1500 ms and the spectrum shows
  // that pattern's third harmonic at 1.5 times the beats' rate (500 ms) and its fundamental (1500 ms).
  const auto alternating = candidates({{750, 1.0f}, {500, 0.9f}, {1500, 0.6f}});
  EXPECT_EQ(rival_share(alternating, 750, 1200, 1480, true), 0.0f)
      << "the autocorrelation measures two beats";
  EXPECT_FLOAT_EQ(rival_share(alternating, 750, 1200, 1100, true), 0.9f) << "nor one beat nor two";
  EXPECT_FLOAT_EQ(rival_share(alternating, 750, 1200, 1480, false), 0.9f) << "skipping is off";
  // A swing at 1.8 times the rate is no harmonic of the two-beat pattern.
  EXPECT_FLOAT_EQ(rival_share(candidates({{750, 1.0f}, {417, 0.7f}}), 750, 1200, 1480, true), 0.7f);
}

}  // namespace
}  // namespace corvane::ostrel
