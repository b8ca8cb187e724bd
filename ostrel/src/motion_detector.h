#pragma once

namespace corvane::ostrel {

// Flags movement of the thumb: the short-term power of the pulse wave (an exponential average over about
// one second) jumping far above its resting level. A resting thumb gives a steady pulse power; a moving
// one gives bursts many times larger. The resting level is the lowest short-term power of the last few
// seconds (kept per block of samples), so repeated bursts do not become the new normal, while a lasting
// change of pressure is accepted once it has lasted the whole span. The flag holds for a while after the
// last burst, and stays set until one block has been seen.
class MotionDetector final {
 public:
  static constexpr int kBlocks = 8;

  // short_len: samples of the short-term average; block_len: samples per block of the resting level.
  void configure(int short_len, int hold, float ratio, int block_len) {
    alpha_short_ = 1.0f / static_cast<float>(short_len < 1 ? 1 : short_len);
    block_len_ = block_len < 1 ? 1 : block_len;
    hold_ = hold;
    ratio_ = ratio;
  }
  void reset() {
    short_ = 0.0f;
    for (float& b : block_min_)
      b = -1.0f;
    block_pos_ = 0;
    in_block_ = 0;
    current_min_ = -1.0f;
    resting_ = -1.0f;
    hold_left_ = 0;
    motion_ = true;
  }
  bool step(float q) {
    short_ += alpha_short_ * (q * q - short_);
    if (current_min_ < 0.0f || short_ < current_min_) current_min_ = short_;
    if (++in_block_ >= block_len_) {
      block_min_[block_pos_] = current_min_;
      block_pos_ = (block_pos_ + 1) % kBlocks;
      in_block_ = 0;
      current_min_ = -1.0f;
      resting_ = -1.0f;
      for (float b : block_min_) {
        if (b >= 0.0f && (resting_ < 0.0f || b < resting_)) resting_ = b;
      }
    }
    const float resting = resting_;
    if (resting < 0.0f) {
      motion_ = true;
      return motion_;
    }
    const bool burst = short_ > ratio_ * resting;
    if (burst) {
      hold_left_ = hold_;
    } else if (hold_left_ > 0) {
      --hold_left_;
    }
    motion_ = burst || hold_left_ > 0;
    return motion_;
  }
  bool motion() const { return motion_; }

 private:
  float alpha_short_ = 0.05f, ratio_ = 8.0f;
  int block_len_ = 20, hold_ = 20;
  float short_ = 0.0f;
  float block_min_[kBlocks] = {};
  int block_pos_ = 0, in_block_ = 0;
  float current_min_ = -1.0f;
  float resting_ = -1.0f;  // lowest block minimum, recomputed as each block ends
  int hold_left_ = 0;
  bool motion_ = true;
};

}  // namespace corvane::ostrel
