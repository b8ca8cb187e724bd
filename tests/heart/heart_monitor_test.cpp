#include "heart/heart_monitor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "heart/fake_detector.h"
#include "platform/file_read.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"

namespace corvane {
namespace {

using testing::Block;
using testing::FakeDetector;
using testing::kOff;
using testing::kOn;

class AlertSettings final : public HeartAlertSettings {
 public:
  int heart_rate_threshold() const override { return threshold; }
  bool heart_rate_alert_on() const override { return check_alert_hr_opt; }
  std::string alert_text() const override { return "rest now"; }
  int threshold = 0;
  bool check_alert_hr_opt = true;
};

// The heart side as the engine hosts it, with a stand-in detector that is ready as soon as a thumb rests
// on the sensor and reports a fixed average.
class HeartMonitorFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeDetector::reset_instance();
    time_.on_timer = [this](TimerId id) { monitor().on_timer(id); };
  }

  HeartMonitor& monitor() {
    if (!monitor_) {
      monitor_ =
          std::make_unique<HeartMonitor>(time_.clock, time_, notifier_, data_folder_,
                                         std::make_unique<OstrelBinding>(FakeDetector::entry_points()));
      monitor_->set_alert_settings(settings_);
    }
    return *monitor_;
  }
  void block(std::uint8_t contact_byte, std::uint32_t reading = 1000) {
    time_.clock.advance_ms(50);
    monitor().take_sample_block(Block(reading, contact_byte).span());
  }
  // Blocks every 50 ms for `ms`, the reading following a saw-tooth pulse.
  void blocks_for(std::int64_t ms, std::uint8_t contact_byte) {
    for (std::int64_t t = 0; t < ms; t += 50)
      block(contact_byte, 1000 + static_cast<std::uint32_t>((t / 50) % 16) * 10);
  }
  // Places the thumb and holds it until one result is taken.
  void measure(int average) {
    FakeDetector::instance().average = average;
    FakeDetector::instance().ready = true;
    blocks_for(500, kOff);
    blocks_for(10'000, kOn);
  }
  void fire_alert_timer() {
    ASSERT_TRUE(time_.running(TimerId::HeartAlert));
    EXPECT_EQ(time_.period_ms(TimerId::HeartAlert), 100u);
    time_.advance_ms(100);
    EXPECT_FALSE(time_.running(TimerId::HeartAlert));
  }

  // The blocks move the clock without firing timers, so a test looks between a result and its alert.
  testing::VirtualTime time_;
  testing::RecordingNotifier notifier_;
  testing::TempFolder folder_;
  std::filesystem::path data_folder_ = folder_.path();
  AlertSettings settings_;
  std::unique_ptr<HeartMonitor> monitor_;
};

TEST_F(HeartMonitorFlow, held_thumb_fixes_one_result_and_saves_it) {
  time_.clock.set_wall({2026, 12, 8, 14, 30, 0});
  measure(72);
  const auto entries = monitor().results().entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].bpm, 72);
  EXPECT_EQ(entries[0].text.substr(0, 14), "2026/12/08 14:");
  const HeartPageView v = monitor().view();
  EXPECT_EQ(v.readout, "72 bpm");
  EXPECT_EQ(v.message, "72 bpm");
  EXPECT_EQ(v.latest_entry, entries[0].text + " , 72bpm");
  EXPECT_FALSE(v.library_missing);

  HeartRateList on_disk(folder_.path(), notifier_);
  on_disk.load();
  EXPECT_EQ(on_disk.entries(), entries);
  EXPECT_EQ(FakeDetector::instance().open_null_calls, 1);
  EXPECT_EQ(FakeDetector::instance().open_calls, 1);
}

TEST_F(HeartMonitorFlow, lifting_and_replacing_the_thumb_gives_a_second_result) {
  measure(72);
  blocks_for(1000, kOff);
  EXPECT_EQ(monitor().view().readout, "-- bpm");
  FakeDetector::instance().average = 80;
  blocks_for(10'000, kOn);
  const auto entries = monitor().results().entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].bpm, 80);
  EXPECT_EQ(entries[1].bpm, 72);
}

TEST_F(HeartMonitorFlow, result_equal_to_threshold_raises_no_alert) {
  settings_.threshold = 120;
  measure(120);
  EXPECT_FALSE(time_.running(TimerId::HeartAlert));
  EXPECT_EQ(time_.starts(TimerId::HeartAlert), 0);
}

TEST_F(HeartMonitorFlow, result_above_threshold_shows_one_message_100_ms_later) {
  settings_.threshold = 119;
  measure(120);
  EXPECT_TRUE(notifier_.messages.empty()) << "not before the timer";
  fire_alert_timer();
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0], "rest now");
  blocks_for(5000, kOn);
  EXPECT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(time_.starts(TimerId::HeartAlert), 1);
}

TEST_F(HeartMonitorFlow, alert_option_off_raises_no_alert) {
  settings_.threshold = 60;
  settings_.check_alert_hr_opt = false;
  measure(120);
  EXPECT_FALSE(time_.running(TimerId::HeartAlert));
}

TEST_F(HeartMonitorFlow, result_of_50_or_less_never_shows_the_message) {
  settings_.threshold = 45;
  measure(50);
  ASSERT_EQ(monitor().results().size(), 1u);
  fire_alert_timer();
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(HeartMonitorFlow, threshold_turned_off_before_the_timer_fires_shows_nothing) {
  settings_.threshold = 100;
  measure(120);
  settings_.threshold = 0;
  fire_alert_timer();
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(HeartMonitorFlow, receive_countdown_runs_out_four_ticks_after_the_last_block) {
  block(kOff);
  EXPECT_EQ(time_.period_ms(TimerId::HeartReceive), 100u);
  EXPECT_EQ(monitor().state().receive_countdown, 4);
  EXPECT_EQ(monitor().view().message, kThumbPromptText);
  int repaints = 0;
  monitor().on_changed = [&] { ++repaints; };
  time_.advance_ms(400);  // four ticks
  EXPECT_TRUE(time_.running(TimerId::HeartReceive));
  EXPECT_EQ(monitor().view().message, kThumbPromptText);
  EXPECT_EQ(repaints, 0);
  time_.advance_ms(100);
  EXPECT_FALSE(time_.running(TimerId::HeartReceive));
  EXPECT_EQ(monitor().view().message, "") << "the mouse stopped sending";
  EXPECT_EQ(repaints, 1);
  block(kOff);
  EXPECT_EQ(monitor().state().receive_countdown, 4) << "a block restarts the countdown";
}

TEST_F(HeartMonitorFlow, waveform_holds_the_recent_readings_with_their_beats) {
  FakeDetector::instance().ready = true;
  blocks_for(3000, kOn);
  const auto points = monitor().waveform(40);
  ASSERT_EQ(points.size(), 40u);
  EXPECT_LT(points.front().time_ms, points.back().time_ms);
  int beats = 0;
  for (const auto& p : points)
    beats += p.beat ? 1 : 0;
  EXPECT_GE(beats, 1) << "the saw-tooth falls once every 16 readings";
  EXPECT_EQ(monitor().waveform(5000).size(), 60u);
}

TEST_F(HeartMonitorFlow, history_deletion_survives_a_view_switch_and_a_restart) {
  measure(72);
  blocks_for(1000, kOff);
  FakeDetector::instance().average = 81;
  blocks_for(10'000, kOn);
  ASSERT_EQ(monitor().results().size(), 2u);
  monitor().show_results(true);
  ASSERT_TRUE(monitor().delete_result(0));
  EXPECT_THAT(monitor().view().latest_entry, ::testing::EndsWith(" , 72bpm"));
  monitor().show_results(false);
  monitor().show_results(true);
  ASSERT_EQ(monitor().results().size(), 1u);
  EXPECT_EQ(monitor().results().entries()[0].bpm, 72);
  monitor_.reset();
  EXPECT_EQ(monitor().results().size(), 1u);
}

TEST_F(HeartMonitorFlow, failed_save_keeps_the_result_through_a_view_switch) {
  data_folder_ = folder_.path() / "not-there";
  std::vector<std::string> failures;
  monitor().on_save_failed = [&](const std::string& why) { failures.push_back(why); };
  measure(72);
  ASSERT_EQ(failures.size(), 1u);
  monitor().show_results(true);
  ASSERT_EQ(monitor().results().size(), 1u) << "rereading the file would have lost the only copy";
  EXPECT_EQ(monitor().results().entries()[0].bpm, 72);
}

TEST_F(HeartMonitorFlow, start_up_loads_the_list_and_shows_its_newest_entry) {
  HeartRateList earlier(folder_.path(), notifier_);
  ASSERT_TRUE(earlier.add(make_heart_log(64, to_local_timestamp(2026, 12, 1, 7, 5))));
  EXPECT_EQ(monitor().view().latest_entry, "2026/12/01 07:05 , 64bpm");
}

// The library file is absent: readings are kept for the waveform, nothing is measured, the path is shown
// and loading is tried again at every block.
TEST(HeartMonitorWithoutLibrary, blocks_fill_the_waveform_and_report_the_path) {
  testing::VirtualTime time;
  testing::RecordingNotifier notifier;
  testing::TempFolder folder;
  const auto path = folder.path() / "libostrel.so";
  HeartMonitor monitor(time.clock, time, notifier, folder.path(), std::make_unique<OstrelBinding>(path));
  for (int i = 0; i < 400; ++i) {
    time.clock.advance_ms(50);
    monitor.take_sample_block(Block(1000 + static_cast<std::uint32_t>(i % 9) * 30, kOn).span());
  }
  const HeartPageView v = monitor.view();
  EXPECT_TRUE(v.library_missing);
  EXPECT_EQ(v.library_path, path.string());
  EXPECT_EQ(v.readout, "-- bpm");
  EXPECT_EQ(v.message, kStabilisingText);
  EXPECT_EQ(monitor.waveform(100).size(), 100u);
  EXPECT_EQ(monitor.results().size(), 0u);
  EXPECT_EQ(monitor.binding().load_attempts(), 400);
  EXPECT_FALSE(monitor.binding().error().empty());
}

}  // namespace
}  // namespace corvane
