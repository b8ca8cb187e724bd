#pragma once

namespace corvane::ostrel {

// Flags movement of the thumb: the short-term power of the pulse wave (about one second) jumping far
// above its long-term level (several seconds). A resting thumb gives a steady pulse power; a moving one
// gives bursts many times larger. The flag holds for a while after the last burst, and stays set until
// the long-term level has been learned.
class MotionDetector final {
 public:
  void configure(int short_len, int hold, float ratio, float long_tc) {
    alpha_short_ = 1.0f / static_cast<float>(short_len < 1 ? 1 : short_len);
    alpha_long_ = 1.0f / (long_tc < 1.0f ? 1.0f : long_tc);
    learn_len_ = 2 * (short_len < 1 ? 1 : short_len);
    hold_ = hold;
    ratio_ = ratio;
  }
  void reset() {
    short_ = long_ = 0.0f;
    seen_ = 0;
    hold_left_ = 0;
    motion_ = true;
  }
  bool step(float q) {
    const float e = q * q;
    short_ += alpha_short_ * (e - short_);
    if (seen_ < learn_len_) {
      ++seen_;
      long_ = short_;
      motion_ = true;
      return motion_;
    }
    const bool burst = short_ > ratio_ * long_;
    // Learn slowly during bursts, so a lasting change of amplitude is accepted after a while.
    long_ += (burst ? 0.25f : 1.0f) * alpha_long_ * (short_ - long_);
    if (burst)
      hold_left_ = hold_;
    else if (hold_left_ > 0)
      --hold_left_;
    motion_ = burst || hold_left_ > 0;
    return motion_;
  }
  bool motion() const { return motion_; }

 private:
  float alpha_short_ = 0.05f, alpha_long_ = 0.01f, ratio_ = 8.0f;
  int learn_len_ = 40, hold_ = 20;
  float short_ = 0.0f, long_ = 0.0f;
  int seen_ = 0, hold_left_ = 0;
  bool motion_ = true;
};

}  // namespace corvane::ostrel
