#pragma once

namespace corvane::ostrel {

// Display waveform: the reading with its slow level removed, low-passed and turned so that the pulses
// point up (the reading falls as blood fills the thumb), kept in a ring for drawing.
class DisplayFilter final {
 public:
  static constexpr int kRing = 256;

  void open(float rate);
  void reset();
  bool is_open() const { return open_; }
  void close() { open_ = false; }
  // Returns false (and changes nothing) for a reading that is not finite.
  bool process(float sample, float& out);
  int copy_latest(float* out, int count) const;

 private:
  bool open_ = false;
  float rate_ = 20.0f;
  float baseline_ = 0.0f;
  bool has_baseline_ = false;
  float b0_ = 0.0f, b1_ = 0.0f, b2_ = 0.0f, a1_ = 0.0f, a2_ = 0.0f;
  float x1_ = 0.0f, x2_ = 0.0f, y1_ = 0.0f, y2_ = 0.0f;
  float ring_[kRing] = {};
  int pos_ = 0, count_ = 0;
};

}  // namespace corvane::ostrel
