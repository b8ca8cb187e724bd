// Opening, resetting and closing the library's one instance, and its parameter block.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "library_fixture.h"
#include "ostrel.h"
#include "synthetic_pulse.h"

namespace corvane::ostrel_test {
namespace {

class Lifecycle : public OpenLibrary {
 protected:
  // Brings the detector to a locked state on a clean 75 bpm wave.
  void lock() {
    ASSERT_GE(feed(pulse_readings(75.0, 30.0)), 0);
    ASSERT_EQ(HRD_Get_ReadyFlag(), 1);
  }
};

TEST_F(Lifecycle, open_gives_72_bpm_not_ready_and_motion) {
  EXPECT_EQ(HRD_Get_HRAvg(), 72);
  EXPECT_EQ(HRD_Get_ReadyFlag(), 0);
  EXPECT_EQ(HRD_Get_MotionFlag(), 1);
  EXPECT_EQ(HRD_GetSignalQualtiy(), 0);
  EXPECT_EQ(HRD_ALG_VERSION(), 1000);
}

TEST_F(Lifecycle, second_open_while_open_returns_0_and_keeps_the_running_state) {
  lock();
  const int average = HRD_Get_HRAvg();
  std::vector<unsigned char> other(work_.size() * 2, 0);
  EXPECT_EQ(HRDOpen_i20Hz(other.data()), 0);
  EXPECT_EQ(HRDOpen_i20Hz(nullptr), 0);  // not the size: refused
  EXPECT_EQ(HRDOpen_i1000Hz(other.data()), 0);
  EXPECT_EQ(HRD_Get_ReadyFlag(), 1);
  EXPECT_EQ(HRD_Get_HRAvg(), average);
  // Still running on its first memory: the next readings keep it locked.
  EXPECT_GE(feed(pulse_readings(75.0, 3.0)), 0);
}

TEST_F(Lifecycle, reset_while_closed_changes_nothing) {
  lock();
  const int average = HRD_Get_HRAvg();
  HRDClose();
  EXPECT_EQ(HRDReset(), 0);
  EXPECT_EQ(HRD_Get_ReadyFlag(), 1);
  EXPECT_EQ(HRD_Get_HRAvg(), average);
  // Readings while closed are ignored too.
  EXPECT_EQ(HRDProcessTop(0, 1, 400000.0f, kLevel), 0);
  EXPECT_EQ(HRD_Get_HRAvg(), average);
}

TEST_F(Lifecycle, close_lets_go_of_the_work_memory_the_caller_then_frees) {
  HRDClose();
  auto* work = new unsigned char[static_cast<size_t>(HRDOpen_i20Hz(nullptr))];
  ASSERT_EQ(HRDOpen_i20Hz(work), 0);
  HRD_Set_SDNN_On();
  lock();
  ASSERT_GT(HRD_GetRRIDataNumber(), 0);
  HRDClose();
  delete[] work;
  // Each of these read the intervals out of the freed memory (AddressSanitizer sees it too).
  EXPECT_EQ(HRD_GetRRIDataNumber(), 0);
  EXPECT_EQ(HRD_SDNNProcess(), -1);
  (void)HRV_GetMemorySize();
  EXPECT_EQ(HRD_Get_ReadyFlag(), 1);  // what was read stays
}

TEST_F(Lifecycle, reset_while_open_returns_to_warm_up) {
  lock();
  EXPECT_EQ(HRDReset(), 0);
  EXPECT_EQ(HRD_Get_ReadyFlag(), 0);
  EXPECT_EQ(HRD_Get_MotionFlag(), 1);
  EXPECT_EQ(HRD_Get_HRAvg(), 72);
  EXPECT_EQ(HRD_GetRRIDataNumber(), 0);
}

TEST_F(Lifecycle, enable_other_than_1_resets_like_reset) {
  lock();
  EXPECT_EQ(HRDProcessTop(0, 0, 400000.0f, kLevel), 0);
  EXPECT_EQ(HRD_Get_ReadyFlag(), 0);
  EXPECT_EQ(HRD_Get_HRAvg(), 72);
}

TEST_F(Lifecycle, open_with_null_while_closed_gives_the_size_and_stays_closed) {
  HRDClose();
  EXPECT_EQ(HRDOpen_i20Hz(nullptr), static_cast<int>(work_.size()));
  EXPECT_GT(HRDOpen_i1000Hz(nullptr), HRDOpen_i20Hz(nullptr));  // a 5000-sample warm-up buffer
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(HRDProcessTop(0, 1, 400000.0f + static_cast<float>(i), kLevel), 0);
  // Opening with memory now works: it was closed.
  EXPECT_EQ(HRDOpen_i20Hz(work_.data()), 0);
  EXPECT_GE(feed(pulse_readings(75.0, 30.0)), 0);
}

// Reads a little-endian field of the parameter block.
template <typename T>
T field(const std::vector<unsigned char>& block, size_t offset) {
  T v;
  std::memcpy(&v, block.data() + offset, sizeof v);
  return v;
}

struct Column {
  int (*open)(void*);
  uint16_t input_rate, filter_rate, diff_count, decimation, warmup_len;
  uint8_t prefilter, lowpass;
};

class ParamBlock : public OpenLibrary {};

TEST_F(ParamBlock, leading_fields_hold_each_columns_values) {
  const Column columns[] = {{HRDOpen_i20Hz, 20, 20, 1, 1, 100, 0, 1},
                            {HRDOpen_i200Hz, 200, 20, 10, 1, 100, 0, 1},
                            {HRDOpen_i1000Hz, 1000, 1000, 1, 50, 5000, 1, 0}};
  for (const Column& c : columns) {
    HRDClose();
    std::vector<unsigned char> work(static_cast<size_t>(c.open(nullptr)));
    ASSERT_EQ(c.open(work.data()), 0);
    std::vector<unsigned char> block(OSTREL_PARAM_BYTES, 0xEE);
    EXPECT_EQ(HRD_GetHRDParam(block.data()), block.data());
    EXPECT_EQ(field<uint16_t>(block, 0), c.input_rate);
    EXPECT_EQ(field<uint16_t>(block, 2), c.filter_rate);
    EXPECT_EQ(field<uint16_t>(block, 4), 20);
    EXPECT_EQ(field<uint16_t>(block, 6), 200);
    EXPECT_EQ(field<uint16_t>(block, 8), c.diff_count);
    EXPECT_EQ(field<uint16_t>(block, 10), c.decimation);
    EXPECT_EQ(field<uint16_t>(block, 12), 10);
    EXPECT_EQ(field<uint16_t>(block, 14), 5);
    EXPECT_EQ(block[16], c.prefilter);
    EXPECT_EQ(block[17], c.lowpass);
    EXPECT_EQ(block[18], 1);
    EXPECT_EQ(block[19], 1);
    EXPECT_EQ(block[26], 1);
    EXPECT_EQ(field<uint16_t>(block, 28), c.warmup_len);
    EXPECT_EQ(block[30], 16);
    EXPECT_FLOAT_EQ(field<float>(block, 44), 1.085f);
    // Every column detects: a clean wave locks at its own input rate.
    HRDClose();
  }
}

TEST_F(ParamBlock, open_param_takes_back_what_get_param_gave) {
  std::vector<unsigned char> block(OSTREL_PARAM_BYTES);
  HRD_GetHRDParam(block.data());
  const float offset = 1.0f;
  std::memcpy(block.data() + 44, &offset, sizeof offset);
  HRDClose();
  ASSERT_EQ(HRDOpenParam(block.data(), nullptr), static_cast<int>(work_.size()));
  ASSERT_EQ(HRDOpenParam(block.data(), work_.data()), 0);
  std::vector<unsigned char> back(OSTREL_PARAM_BYTES);
  HRD_GetHRDParam(back.data());
  EXPECT_EQ(back, block);
  EXPECT_EQ(HRD_Get_HRAvg(), 66);  // 900 ms at an offset of 1.0
}

TEST_F(ParamBlock, higher_rate_columns_lock_on_a_clean_wave) {
  struct Case {
    int (*open)(void*);
    double rate;
  };
  for (const Case& c : {Case{HRDOpen_i200Hz, 200.0}, Case{HRDOpen_i1000Hz, 1000.0}}) {
    HRDClose();
    std::vector<unsigned char> work(static_cast<size_t>(c.open(nullptr)));
    ASSERT_EQ(c.open(work.data()), 0);
    HRD_Set_FreqOffset(1.0f);
    ASSERT_GE(feed(pulse_readings(75.0, 40.0, 4000.0, c.rate)), 0) << c.rate;
    EXPECT_NEAR(HRD_Get_HRAvg(), 75, 3) << c.rate;
  }
}

TEST(SdnnLevel, age_30_boundaries_and_levels) {
  double first = 0, second = 0, third = 0;
  HRD_GetSDNNBoundary(30, &first, &second, &third);
  EXPECT_NEAR(first, 47.7, 1e-9);
  EXPECT_NEAR(second, 36.13, 1e-9);
  EXPECT_NEAR(third, 24.5, 1e-9);
  EXPECT_EQ(HRD_GetSDNNLevel(30, 50.0), 0);
  EXPECT_EQ(HRD_GetSDNNLevel(30, 47.7), 0);
  EXPECT_EQ(HRD_GetSDNNLevel(30, 47.69), 1);
  EXPECT_EQ(HRD_GetSDNNLevel(30, 36.13), 1);
  EXPECT_EQ(HRD_GetSDNNLevel(30, 30.0), 2);
  EXPECT_EQ(HRD_GetSDNNLevel(30, 24.49), 3);
}

TEST(SdnnLevel, ages_above_67_count_as_67) {
  double a[3], b[3];
  HRD_GetSDNNBoundary(67, &a[0], &a[1], &a[2]);
  HRD_GetSDNNBoundary(90, &b[0], &b[1], &b[2]);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(a[i], b[i]);
  EXPECT_NEAR(a[0], 65.7 - 0.6 * 67, 1e-9);
  EXPECT_EQ(HRD_GetSDNNLevel(80, 25.5), HRD_GetSDNNLevel(67, 25.5));
}

TEST(Setters, modes_and_thresholds_answer_as_documented) {
  EXPECT_EQ(HRD_Set_SkipCounterTh(3), 3);
  EXPECT_EQ(HRD_Set_SkipCounterTh(2), 2);
  EXPECT_EQ(HRD_GetSDNN(), -1);
  EXPECT_EQ(HRD_GetSDNNRRIDataNumber(), 0);
  EXPECT_EQ(HRD_GetHRV_SDNN(), -1.0f);
  EXPECT_EQ(HRD_GetHRV_LF(), -1.0f);
  EXPECT_EQ(HRD_Set_SDNN_On(), 3);
  EXPECT_EQ(HRD_Set_LHRatio_On(), 3);
  HRD_Set_SDNN_Off();
  HRD_Set_LHRatio_Off();
  EXPECT_EQ(HRD_Get_NI_SDNN(), 0.0f);
  EXPECT_EQ(HRD_Get_NI_SDNN_HRAvg(), 0.0f);
}

}  // namespace
}  // namespace corvane::ostrel_test
