#pragma once

#include <cstdint>
#include <vector>

#include "heart/ostrel_binding.h"
#include "heart/sample_block.h"

namespace corvane::testing {

// A stand-in detector behind the library's C entry points. The entry points are plain functions, so the
// detector's state is one process-wide object that each test resets in its SetUp.
struct FakeDetector {
  int open_calls = 0;
  int open_null_calls = 0;
  void* work = nullptr;
  int work_bytes = 4096;
  int reset_calls = 0;
  int close_calls = 0;
  int average_calls = 0;
  int ready_calls = 0;
  std::vector<float> values;  // readings fed
  std::vector<float> levels;  // auxiliary readings fed
  int average = 72;
  bool ready = false;

  static FakeDetector& instance() {
    static FakeDetector d;
    return d;
  }
  static void reset_instance() { instance() = FakeDetector{}; }

  // Every entry point present.
  static OstrelEntryPoints entry_points() {
    OstrelEntryPoints e;
    e.open = [](void* w) -> int {
      FakeDetector& d = instance();
      if (!w) {
        ++d.open_null_calls;
        return d.work_bytes;
      }
      ++d.open_calls;
      d.work = w;
      static_cast<std::uint8_t*>(w)[d.work_bytes - 1] = 1;  // the whole block must be ours to write
      return 0;
    };
    e.process_top = [](int, char enable, float value, float level) -> char {
      FakeDetector& d = instance();
      if (enable == 1) {
        d.values.push_back(value);
        d.levels.push_back(level);
      }
      return d.ready ? 1 : 0;
    };
    e.get_average = []() -> int {
      ++instance().average_calls;
      return instance().average;
    };
    e.close = []() { ++instance().close_calls; };
    e.reset = []() -> int {
      ++instance().reset_calls;
      return 0;
    };
    e.get_ready_flag = []() -> char {
      ++instance().ready_calls;
      return instance().ready ? 1 : 0;
    };
    return e;
  }
};

}  // namespace corvane::testing
