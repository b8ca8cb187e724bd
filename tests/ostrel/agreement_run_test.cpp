// Agreements add up to a lock only while they stay on one rate: a rate that drifts a little per decision
// must not collect a lock on wherever it ended.
#include "agreement_run.h"

#include <gtest/gtest.h>

namespace corvane::ostrel {
namespace {

TEST(AgreementRun, every_agreement_of_a_run_lies_within_one_rate_of_every_other) {
  AgreementRun run;
  run.agree(1000);
  run.agree(900);   // 10 % below the first
  run.agree(1040);  // 4 % off the first, 13 % off the shortest: still one rate
  EXPECT_EQ(run.count(), 3);
  run.agree(1060);  // 2 % off the previous, 6 % off the first, but 15 % off the shortest
  EXPECT_EQ(run.count(), 1) << "the run widened beyond one rate and must start afresh from this agreement";
  run.agree(1000);  // judged against the new run alone
  EXPECT_EQ(run.count(), 2);
  run.disagree();
  EXPECT_EQ(run.count(), 1);
}

}  // namespace
}  // namespace corvane::ostrel
