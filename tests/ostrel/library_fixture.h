#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "ostrel.h"

namespace corvane::ostrel_test {

constexpr float kLevel = 4101.0f;

// Opens the library's one instance for each case, as the program does (size first, then memory), and
// closes it afterwards so that every case starts from the column defaults.
class OpenLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    const int bytes = HRDOpen_i20Hz(nullptr);
    ASSERT_GT(bytes, 0);
    work_.assign(static_cast<size_t>(bytes), 0);
    ASSERT_EQ(HRDOpen_i20Hz(work_.data()), 0);
  }
  void TearDown() override {
    HRDClose();
    HRD_Set_SDNN_Off();
    HRD_Set_Debug_Off();
  }

  // Feeds readings; returns the index of the first reading after which the detector was ready, or -1.
  static int feed(const std::vector<float>& readings, float level = kLevel) {
    int first_ready = -1;
    for (size_t i = 0; i < readings.size(); ++i) {
      if (HRDProcessTop(0, 1, readings[i], level) && first_ready < 0) first_ready = static_cast<int>(i);
    }
    return first_ready;
  }

  std::vector<unsigned char> work_;
};

}  // namespace corvane::ostrel_test
