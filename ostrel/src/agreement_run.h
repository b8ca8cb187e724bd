#pragma once

namespace corvane::ostrel {

// The agreements that count toward a lock. They count only while they agree on one rate: every agreement
// of a run must lie within 15 % of every other, not only of the previous one, or a rate drifting 5 % per
// decision (the spectrum wandering with a noisy recording's artefacts) adds up to a lock on where it ended.
class AgreementRun final {
 public:
  void reset() { count_ = low_ = high_ = 0; }
  // Starts counting afresh, as after a lock or under motion; the next agreement opens a new run.
  void restart() { count_ = 0; }
  // An agreement at `interval_ms`; one that would widen the run beyond one rate starts it afresh from itself.
  void agree(int interval_ms);
  // A decision without agreement takes one agreement back.
  void disagree() {
    if (count_ > 0) --count_;
  }
  int count() const { return count_; }

 private:
  int count_ = 0;
  int low_ = 0, high_ = 0;  // shortest and longest interval of the run
};

}  // namespace corvane::ostrel
