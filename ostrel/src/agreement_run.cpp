#include "agreement_run.h"

#include <algorithm>

#include "harmonics.h"

namespace corvane::ostrel {
namespace {

// Agreements of one run lie within this share of each other, in percent of the larger: the rate step the
// detector already treats as another rate.
constexpr int kOneRatePct = 15;

}  // namespace

void AgreementRun::agree(int interval_ms) {
  if (count_ == 0) low_ = high_ = interval_ms;
  const int low = std::min(low_, interval_ms), high = std::max(high_, interval_ms);
  if (pct_of_larger(low, high) >= kOneRatePct) {
    count_ = 0;
    low_ = high_ = interval_ms;
  } else {
    low_ = low;
    high_ = high;
  }
  ++count_;
}

}  // namespace corvane::ostrel
