#include "heart/ostrel_binding.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "heart/fake_detector.h"
#include "heart/heart_monitor.h"
#include "platform/dynamic_library.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"

namespace corvane {
namespace {

using testing::Block;
using testing::kOn;

const std::filesystem::path kNoReady = CORVANE_PARTIAL_NO_READY;
const std::filesystem::path kNoOpen = CORVANE_PARTIAL_NO_OPEN;

// How many calls a stand-in library received, read through its own counting exports.
int counted(const OstrelBinding& binding, const char* counter) {
  auto again = DynamicLibrary::load(binding.path());  // the same mapping: it is still loaded
  auto f = again ? (*again)->function<int (*)()>(counter) : nullptr;
  return f ? f() : -1;
}

TEST(OstrelBindingPath, is_the_program_folder_and_the_platform_file_name) {
  // The names the program is shipped with: libostrel.so on Linux, ostrel.dll on Windows.
  const std::string name = OstrelBinding::default_path().filename().string();
  EXPECT_TRUE(name == "libostrel.so" || name == "ostrel.dll") << name;
  EXPECT_TRUE(OstrelBinding::default_path().is_absolute());
}

TEST(OstrelBindingMissing, reports_the_path_and_tries_again_at_every_call) {
  testing::TempFolder folder;
  const auto path = folder / "libostrel.so";
  OstrelBinding binding(path);
  EXPECT_FALSE(binding.ensure_bound());
  EXPECT_FALSE(binding.ensure_bound());
  EXPECT_EQ(binding.load_attempts(), 2);
  EXPECT_FALSE(binding.loaded());
  EXPECT_EQ(binding.detector(), nullptr);
  EXPECT_EQ(binding.path(), path);
  EXPECT_NE(binding.error().find("libostrel.so"), std::string::npos) << binding.error();

  // Put in place while running: the next block picks it up.
  std::filesystem::copy_file(kNoReady, path);
  EXPECT_TRUE(binding.ensure_bound());
  EXPECT_EQ(binding.load_attempts(), 3);
  EXPECT_TRUE(binding.error().empty());
  EXPECT_TRUE(binding.ensure_bound());
  EXPECT_EQ(binding.load_attempts(), 3) << "a loaded library is not loaded again";
}

TEST(OstrelBindingPartial, missing_ready_entry_point_stays_null_and_nothing_is_measured) {
  testing::VirtualTime time;
  testing::RecordingNotifier notifier;
  testing::TempFolder folder;
  HeartMonitor monitor(time.clock, time, notifier, folder.path(), std::make_unique<OstrelBinding>(kNoReady));
  for (int i = 0; i < 600; ++i) {
    time.clock.advance_ms(50);
    monitor.take_sample_block(Block(1000 + static_cast<std::uint32_t>(i % 9) * 30, kOn).span());
  }
  const OstrelBinding& binding = monitor.binding();
  ASSERT_NE(binding.detector(), nullptr);
  EXPECT_EQ(binding.entry_points().get_ready_flag, nullptr);
  EXPECT_NE(binding.entry_points().process_top, nullptr);
  EXPECT_NE(binding.entry_points().close, nullptr);
  EXPECT_EQ(binding.work_memory_bytes(), 256u);
  EXPECT_EQ(counted(binding, "partial_open_calls"), 2) << "size first, then the memory";
  EXPECT_EQ(counted(binding, "partial_process_calls"), 600);
  EXPECT_EQ(counted(binding, "partial_reset_calls"), 1);
  EXPECT_EQ(monitor.state().running_average, 72.0f);
  EXPECT_FALSE(monitor.state().ready);
  EXPECT_EQ(monitor.results().size(), 0u) << "without a ready answer no result is taken";
}

TEST(OstrelBindingPartial, library_without_its_open_is_loaded_but_never_fed) {
  OstrelBinding binding(kNoOpen);
  EXPECT_FALSE(binding.ensure_bound());
  EXPECT_TRUE(binding.loaded());
  EXPECT_EQ(binding.detector(), nullptr);
  EXPECT_EQ(binding.entry_points().open, nullptr);
  EXPECT_NE(binding.error().find("HRDOpen_i20Hz"), std::string::npos);
  EXPECT_FALSE(binding.ensure_bound());
  EXPECT_EQ(binding.load_attempts(), 1);
  EXPECT_EQ(counted(binding, "partial_process_calls"), 0);
}

TEST(OstrelBindingOpen, size_then_memory_and_closed_before_the_memory_goes) {
  testing::FakeDetector::reset_instance();
  {
    OstrelBinding binding(testing::FakeDetector::entry_points());
    ASSERT_TRUE(binding.ensure_bound());
    ASSERT_TRUE(binding.ensure_bound());
    EXPECT_EQ(testing::FakeDetector::instance().open_null_calls, 1);
    EXPECT_EQ(testing::FakeDetector::instance().open_calls, 1);
    EXPECT_NE(testing::FakeDetector::instance().work, nullptr);
    EXPECT_EQ(binding.work_memory_bytes(), 4096u);
    EXPECT_EQ(testing::FakeDetector::instance().close_calls, 0);
  }
  EXPECT_EQ(testing::FakeDetector::instance().close_calls, 1);
}

TEST(OstrelBindingOpen, no_work_memory_size_leaves_the_detector_unopened) {
  testing::FakeDetector::reset_instance();
  testing::FakeDetector::instance().work_bytes = 0;
  {
    OstrelBinding binding(testing::FakeDetector::entry_points());
    EXPECT_FALSE(binding.ensure_bound());
    EXPECT_FALSE(binding.ensure_bound());
    EXPECT_EQ(binding.detector(), nullptr);
    EXPECT_FALSE(binding.error().empty());
    EXPECT_EQ(testing::FakeDetector::instance().open_null_calls, 1);
    EXPECT_EQ(testing::FakeDetector::instance().open_calls, 0);
  }
  EXPECT_EQ(testing::FakeDetector::instance().close_calls, 0);
}

#ifdef CORVANE_OSTREL_LIBRARY
TEST(OstrelBindingReal, binds_all_six_and_opens_with_its_own_work_memory) {
  OstrelBinding binding(CORVANE_OSTREL_LIBRARY);
  ASSERT_TRUE(binding.ensure_bound()) << binding.error();
  const OstrelEntryPoints& e = binding.entry_points();
  EXPECT_NE(e.open, nullptr);
  EXPECT_NE(e.process_top, nullptr);
  EXPECT_NE(e.get_average, nullptr);
  EXPECT_NE(e.close, nullptr);
  EXPECT_NE(e.reset, nullptr);
  EXPECT_NE(e.get_ready_flag, nullptr);
  EXPECT_GT(binding.work_memory_bytes(), 0u);
  // An open detector starts from its nominal interval: 72 bpm, not ready.
  EXPECT_EQ(e.get_average(), 72);
  EXPECT_EQ(e.get_ready_flag(), 0);
  for (int i = 0; i < 200; ++i)
    e.process_top(0, 1, 1000.0f + static_cast<float>(i % 20), 3.0f);
  EXPECT_EQ(e.reset(), 0);
}

TEST(OstrelBindingReal, a_second_binding_after_the_first_is_gone_opens_afresh) {
  for (int round = 0; round < 2; ++round) {
    OstrelBinding binding(CORVANE_OSTREL_LIBRARY);
    ASSERT_TRUE(binding.ensure_bound()) << binding.error();
    for (int i = 0; i < 100; ++i)
      binding.detector()->process_top(0, 1, 500.0f + static_cast<float>(i % 10), 3.0f);
  }
}
#else
TEST(OstrelBindingReal, binds_all_six_and_opens_with_its_own_work_memory) {
  GTEST_SKIP() << "the detection library is not part of this build";
}
#endif

}  // namespace
}  // namespace corvane
