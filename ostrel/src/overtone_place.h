#pragma once

namespace corvane::ostrel {

// Whether the locked average keeps its overtone where a pulse's overtone lies. A pulse wave's overtone
// sits at exactly twice its rate. A steady movement rhythm close to the pulse rate (a finger tapping a
// little faster than the heart) merges with the pulse into one spectral peak between the two, so every
// estimate drifts toward the movement together; but such a smooth swing has no overtone of its own, so
// the pulse's overtone stays at twice the true rate and no longer at twice the average. Only a weak
// overtone is read: a strong one may be a rival rhythm merged into the overtone instead (a swing near
// twice the rate), and then it is the overtone, not the average, that has moved. One decision proves
// nothing (the overtone of a camera recording wanders by several percent); the count must build up.
class OvertonePlace final {
 public:
  // Farther than this, in percent of the average's rate, half the overtone no longer confirms it. A
  // clean resting pulse keeps it within 2-3 % (a parabola through the peak is good to about 0.2 bin); a
  // swing 15 % faster than the pulse drags the merged peak about half way, 7-9 %. 5 % moved one result
  // of an irregular ICU record (bidmc_53) to a worse point and changed nothing under motion.
  static constexpr float kMostOffPct = 6.0f;
  // At or above this share of the fundamental's power the overtone is not read (see above).
  static constexpr float kMostShare = 0.3f;
  // Misplaced decisions, less those that were not, beyond which the average is not reported: about 3 s.
  static constexpr int kMostMisplaced = 2;

  void reset() { misplaced_ = 0; }
  // `share` is the overtone's power as a share of the fundamental's (negative when it cannot be read),
  // `offset_pct` half the overtone's rate in percent off the average's rate (0 when there is no peak).
  void check(float share, float offset_pct) {
    const float off = offset_pct < 0.0f ? -offset_pct : offset_pct;
    if (share >= 0.0f && share < kMostShare && off > kMostOffPct)
      ++misplaced_;
    else if (misplaced_ > 0)
      --misplaced_;
  }
  bool confirms() const { return misplaced_ <= kMostMisplaced; }

 private:
  int misplaced_ = 0;
};

}  // namespace corvane::ostrel
