// The parameter block's layout, and the sanitising that keeps any block inside the detector's memory.
#include "params.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "detector.h"

namespace corvane::ostrel {
namespace {

TEST(ParamBlock, garbage_block_still_runs_inside_its_memory) {
  for (unsigned char fill : {0x00, 0xFF, 0x7F, 0x80}) {
    Params p;
    std::memset(&p, fill, sizeof p);
    const int bytes = Detector::work_bytes(p);
    ASSERT_GT(bytes, 0);
    ASSERT_LT(bytes, 1 << 20);
    // A guard zone after the block: the detector must never write into it.
    std::vector<unsigned char> work(static_cast<size_t>(bytes) + 64, 0xA5);
    Detector d;
    d.params = p;
    d.attach(work.data());
    for (int i = 0; i < 3000; ++i)
      d.process(1, 400000.0f + 1000.0f * std::sin(0.3f * static_cast<float>(i)), 1.0f);
    for (int i = bytes; i < bytes + 64; ++i)
      ASSERT_EQ(work[static_cast<size_t>(i)], 0xA5) << "fill " << int(fill);
  }
}

TEST(ParamBlock, unaligned_work_memory_is_accepted) {
  const Params p = default_params(Column::k20Hz);
  std::vector<unsigned char> work(static_cast<size_t>(Detector::work_bytes(p)) + 1);
  Detector d;
  d.params = p;
  d.attach(work.data() + 1);
  for (int i = 0; i < 2000; ++i)
    d.process(1, 400000.0f + 500.0f * std::sin(0.4f * static_cast<float>(i)), 1.0f);
  EXPECT_GT(d.average_interval(), 0.0f);
}

TEST(IntervalWindows, median_is_the_upper_middle_and_prefill_counts) {
  MedianWindow m;
  m.reset(4, 415);
  EXPECT_EQ(m.median(), 415);
  m.push(100);
  m.push(900);
  EXPECT_EQ(m.median(), 415);  // {100, 415, 415, 900}: upper middle
  m.push(800);
  EXPECT_EQ(m.median(), 800);  // {100, 415, 800, 900}
}

TEST(IntervalWindows, average_leaves_out_one_stray_entry) {
  IntervalAverage a;
  a.reset(4);
  a.push(800.0f);
  a.push(810.0f);
  EXPECT_FLOAT_EQ(a.mean(), 805.0f);
  a.push(790.0f);
  a.push(1600.0f);
  EXPECT_FLOAT_EQ(a.mean(), 805.0f);  // largest and smallest left out: (800 + 810) / 2
}

}  // namespace
}  // namespace corvane::ostrel
