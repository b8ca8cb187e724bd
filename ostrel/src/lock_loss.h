#pragma once

#include "params.h"

namespace corvane::ostrel {

// The counters that end a lock. Decisions that keep the lock pay them back; the lock ends when any one
// passes its limit (the parameter block's three lock-loss limits, in the order of the first three counters
// here; the overtone counter has a fixed one).
class LockLoss final {
 public:
  // More decisions than this without a pulse's overtone end the lock: about 4 s, so that a lock survives
  // a moment of movement but not movement that stays (the overtone test is no parameter of the block).
  static constexpr int kNotPulseLimit = 3;

  void reset() { nothing_near_ = refused_ = motion_jumps_ = not_pulse_ = 0; }

  // Two or three pairs of estimates agree: the lock is confirmed.
  void on_confirmed() {
    nothing_near_ = nothing_near_ > 4 ? nothing_near_ - 4 : 0;
    refused_ = refused_ > 8 ? refused_ - 8 : 0;
  }
  // A single agreeing pair chose an interval too far from the average.
  void on_jump() { ++refused_; }
  // No pair agreed and no estimate lay near the average.
  void on_nothing_near() {
    ++nothing_near_;
    ++refused_;
  }
  // Under motion the chosen interval jumped from the average; a decision without that jump pays one back.
  void on_motion_check(bool jumped) {
    if (jumped)
      ++motion_jumps_;
    else if (motion_jumps_ > 0)
      --motion_jumps_;
  }

  // The average lacked a pulse's overtone (steady movement has taken over the wave); a decision that finds
  // it pays one back.
  void on_pulse_check(bool pulse_like) {
    if (!pulse_like)
      ++not_pulse_;
    else if (not_pulse_ > 0)
      --not_pulse_;
  }

  bool exceeded(const Params& p) const {
    return nothing_near_ > p.lock_loss_limit[0] || refused_ > p.lock_loss_limit[1] ||
           motion_jumps_ > p.lock_loss_limit[2] || not_pulse_ > kNotPulseLimit;
  }
  // After a loss the estimate counters start again; the motion counter is kept, paid back only by locked
  // decisions without a motion jump.
  void after_loss() { nothing_near_ = refused_ = not_pulse_ = 0; }

 private:
  int nothing_near_ = 0;  // decisions where no pair agreed and no estimate lay near the average
  int refused_ = 0;       // decisions whose estimate was refused: the above, and jumps of a lone pair
  int motion_jumps_ = 0;  // decisions whose estimate jumped from the average under motion
  int not_pulse_ = 0;     // decisions whose average lacked a pulse's overtone
};

}  // namespace corvane::ostrel
