#pragma once

namespace corvane::ostrel {

// The averaged interval over the last decisions of a lock, to tell a settled rate from a swing. The
// program stores the average once the detector has been ready for 8 s; an average that swings within
// those seconds (a heart rate surging or falling back, or an irregular rhythm) would be stored at
// whatever point of the swing the 8 s end. While the last averages spread too far, the lock is kept
// but not reported, so the program's 8 s start again once the rate has settled. Decisions that enter
// nothing into the average leave it standing while the rate may move on: a few in a row make it stale,
// not settled.
class SettledRate final {
 public:
  static constexpr int kCount = 8;  // decisions, about 8 s

  void reset() { count_ = pos_ = skipped_ = 0; }
  // A decision that entered an interval, and the average after it.
  void push(float interval_ms) {
    values_[pos_] = interval_ms;
    pos_ = (pos_ + 1) % kCount;
    if (count_ < kCount) ++count_;
    skipped_ = 0;
  }
  // A decision that entered nothing.
  void skip() { ++skipped_; }
  // Whether fewer than `most_skipped` decisions in a row entered nothing and the averages held lie within
  // `pct` percent of the longest of them.
  bool settled(float pct, int most_skipped) const {
    if (skipped_ >= most_skipped) return false;
    if (count_ == 0) return true;
    float lo = values_[0], hi = values_[0];
    for (int i = 1; i < count_; ++i) {
      if (values_[i] < lo) lo = values_[i];
      if (values_[i] > hi) hi = values_[i];
    }
    return 100.0f * (hi - lo) <= pct * hi;
  }

 private:
  float values_[kCount] = {};
  int count_ = 0, pos_ = 0;
  int skipped_ = 0;  // decisions in a row that entered nothing
};

}  // namespace corvane::ostrel
