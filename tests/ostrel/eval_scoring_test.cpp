// The evaluator's preparation of a recording and its scoring of sessions, on synthetic recordings whose
// answers are known.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "library_fixture.h"
#include "recording.h"
#include "recording_sets.h"
#include "session_scorer.h"
#include "synthetic_pulse.h"

namespace corvane::ostrel_eval {
namespace {

TEST(EvalPreparation, resampling_interpolates_between_irregular_samples) {
  const std::vector<TimedValue> series = {{0.0, 0.0}, {0.03, 3.0}, {0.1, 10.0}, {0.2, 10.0}};
  const std::vector<double> r = resample(series, 20.0);
  ASSERT_EQ(r.size(), 5u);  // 0, 0.05, 0.1, 0.15, 0.2
  EXPECT_NEAR(r[0], 0.0, 1e-9);
  EXPECT_NEAR(r[1], 5.0, 1e-9);
  EXPECT_NEAR(r[2], 10.0, 1e-9);
  EXPECT_NEAR(r[4], 10.0, 1e-9);
}

TEST(EvalPreparation, readings_centre_the_median_and_scale_the_percentile_range) {
  std::vector<double> ppg;
  for (int i = 0; i <= 100; ++i)
    ppg.push_back(i);  // median 50, 5-95 % range 90
  const std::vector<unsigned> r1 = to_readings(ppg, 1.0);
  EXPECT_EQ(r1[50], 400000u);
  EXPECT_EQ(r1[95], static_cast<unsigned>(std::lround(400000.0 - 4000.0 * 45.0 / 90.0)));
  const std::vector<unsigned> r4 = to_readings(ppg, 4.0);
  EXPECT_EQ(r4[5], static_cast<unsigned>(std::lround(400000.0 + 4.0 * 4000.0 * 45.0 / 90.0)));
}

TEST(EvalPreparation, reference_is_the_mean_of_the_rows_in_the_span) {
  const std::vector<TimedValue> ref = {{0.0, 60.0}, {1.0, 62.0}, {2.0, 64.0}, {30.0, 90.0}};
  EXPECT_DOUBLE_EQ(*mean_reference(ref, 0.0, 2.0), 62.0);
  EXPECT_FALSE(mean_reference(ref, 5.0, 15.0).has_value());
}

TEST(EvalSets, recordings_add_up_per_set_and_the_share_off_counts_scored_results_only) {
  auto scored = [](const std::string& name, int sessions, std::vector<double> errors, int unscored) {
    Score s;
    s.name = name;
    s.sessions = sessions;
    s.results = static_cast<int>(errors.size()) + unscored;
    s.unscored = unscored;
    s.errors = std::move(errors);
    s.times_s.assign(static_cast<size_t>(s.results), 20.0);
    return s;
  };
  const std::vector<Score> sets =
      scores_by_set({scored("welltory_s01", 1, {1.0}, 0), scored("bidmc_03", 2, {6.0, 1.0}, 0),
                     scored("bidmc_01", 3, {2.0}, 1)});
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].name, "bidmc");
  EXPECT_EQ(sets[0].sessions, 5);
  EXPECT_EQ(sets[0].results, 4);
  // One of the three results that have a reference is more than 5 bpm off; the unscored one counts neither
  // way.
  EXPECT_DOUBLE_EQ(sets[0].share_over(5.0), 1.0 / 3.0);
  EXPECT_EQ(sets[1].name, "welltory");
  EXPECT_EQ(sets[1].sessions, 1);
}

class EvalScoring : public ostrel_test::OpenLibrary {
 protected:
  // A recording of a clean pulse at 30 frames/s with a constant reference rate.
  static Recording synthetic(double bpm, double seconds) {
    Recording r;
    r.name = "synthetic";
    for (int i = 0; i < static_cast<int>(seconds * 30.0); ++i) {
      r.ppg.push_back({i / 30.0, ostrel_test::pulse_wave(i / 30.0, bpm)});
    }
    for (int s = 0; s < static_cast<int>(seconds); ++s)
      r.reference.push_back({static_cast<double>(s), bpm});
    return r;
  }
};

TEST_F(EvalScoring, clean_recording_gives_a_result_in_every_session_at_its_rate) {
  HRD_Set_FreqOffset(1.0f);
  Options options;
  const Score s = score_recording(synthetic(72.0, 185.0), options);
  EXPECT_EQ(s.sessions, 3);  // the last 5 s do not make a session
  EXPECT_EQ(s.results, 3);
  ASSERT_EQ(s.errors.size(), 3u);
  EXPECT_LT(s.max_error(), 1.5);
  // Warm-up, lock and 8 s of stability: never sooner than 13 s, on a clean wave within 22 s.
  for (double t : s.times_s) {
    EXPECT_GE(t, 13.0);
    EXPECT_LE(t, 22.0);
  }
  EXPECT_GT(s.ready_error_count, 0);
}

TEST_F(EvalScoring, wrong_clock_shows_as_error) {
  // Left at its default offset of 1.085, the library reads 20 Hz readings as a faster clock: the
  // evaluator must report that error, not hide it.
  Options options;
  const Score s = score_recording(synthetic(72.0, 65.0), options);
  ASSERT_EQ(s.results, 1);
  EXPECT_NEAR(s.errors[0], 72.0 * 0.085, 1.5);
}

TEST_F(EvalScoring, a_travelling_mouse_holds_the_result_back_only_when_asked_to) {
  // The mouse travels from 12 to 20 s: held back, the 8 s of stability start again after it.
  HRD_Set_FreqOffset(1.0f);
  Recording r = synthetic(72.0, 65.0);
  r.travel = {{12.0, 20.0}};
  Options options;
  const Score free = score_recording(r, options);
  options.hold_while_travelling = true;
  const Score held = score_recording(r, options);
  ASSERT_EQ(free.times_s.size(), 1u);
  ASSERT_EQ(held.times_s.size(), 1u);
  EXPECT_LT(free.times_s[0], 22.0);
  EXPECT_GE(held.times_s[0], 27.9);
}

TEST_F(EvalScoring, flat_recording_gives_no_result) {
  HRD_Set_FreqOffset(1.0f);
  Recording r = synthetic(72.0, 65.0);
  for (auto& p : r.ppg)
    p.value = 1.0;
  const Score s = score_recording(r, Options{});
  EXPECT_EQ(s.sessions, 1);
  EXPECT_EQ(s.results, 0);
}

}  // namespace
}  // namespace corvane::ostrel_eval
