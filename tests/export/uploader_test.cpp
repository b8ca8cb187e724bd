#include "export/uploader.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "base/file_read.h"
#include "export/upload_file.h"
#include "export/upload_tool.h"
#include "export/upload_tool_starts.h"
#include "platform/system_conventions.h"
#include "support/environment.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"
#include "support/without_threads.h"

namespace corvane {
namespace {

using testing::recorded_starts;
using testing::RecordingNotifier;
using testing::TempFolder;
using testing::VirtualTime;

constexpr const char* kDeviceId = "0123456789012345";

class UploaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::set_environment("BRALLOW_STUB_RECORD", record.string());
    live.year = 2026;
    live.month = 12;
    live.day = 8;
    live.record.clicks[0][10] = 42;
  }
  std::unique_ptr<Uploader> make(std::filesystem::path tool = BRALLOW_STUB_PATH, std::string id = kDeviceId) {
    Uploader::Hooks hooks;
    hooks.counters = [this] {
      counter_reads_on.push_back(std::this_thread::get_id());
      return live;
    };
    hooks.heart_log = [this] {
      heart_reads_on.push_back(std::this_thread::get_id());
      return heart;
    };
    hooks.wait = [this](std::chrono::milliseconds ms) {
      std::unique_lock lock(gate_mutex);
      waits.push_back(ms.count());
      gate_cv.wait(lock, [this] { return gate_open; });
    };
    hooks.state_changed = [this] { ++repaints; };
    return std::make_unique<Uploader>(time.clock, time, notifier,
                                      Uploader::Config{data.path(), std::move(tool), std::move(id)}, hooks);
  }
  void run_for(Uploader& up, std::int64_t ms) {
    time.on_timer = [&](TimerId id) {
      if (id == TimerId::Upload) up.on_upload_timer();
    };
    time.advance_ms(ms);
  }

  VirtualTime time;  // Tuesday 2026-12-08 10:00
  RecordingNotifier notifier;
  // The worker's pauses pass at once unless a test closes the gate.
  std::mutex gate_mutex;
  std::condition_variable gate_cv;
  bool gate_open = true;
  std::vector<long> waits;
  TempFolder data;
  TempFolder scratch;
  std::filesystem::path record = scratch / "starts.jsonl";
  DaySnapshot live;
  std::vector<HeartLog> heart{{70, 1796720400, "2026/12/08 09:00"}};
  std::vector<std::thread::id> counter_reads_on, heart_reads_on;
  int repaints = 0;
};

TEST_F(UploaderTest, timer_first_checks_after_ten_seconds_then_every_two_seconds_outside_minute_three) {
  auto up = make();
  up->start();
  EXPECT_EQ(time.period_ms(TimerId::Upload), 10'000u);
  run_for(*up, 10'000);
  EXPECT_EQ(time.period_ms(TimerId::Upload), 2'000u);
  EXPECT_EQ(up->uploads_started(), 0);
  EXPECT_EQ(up->state(), UploadState::Idle);
}

TEST_F(UploaderTest, minute_three_starts_one_automatic_upload_per_hour) {
  auto up = make();
  up->start();
  run_for(*up, 3 * 60'000 + 10'000);  // 10:03:10
  EXPECT_EQ(up->uploads_started(), 1);
  EXPECT_EQ(up->state(), UploadState::Automatic);
  EXPECT_EQ(time.period_ms(TimerId::Upload), 70'000u);
  up->wait_until_idle();
  EXPECT_EQ(up->state(), UploadState::Idle);
  run_for(*up, 50 * 60'000);  // 10:53: no second start inside the hour
  EXPECT_EQ(up->uploads_started(), 1);
  run_for(*up, 11 * 60'000);  // 11:04
  EXPECT_EQ(up->uploads_started(), 2);
  up->wait_until_idle();
  EXPECT_TRUE(notifier.messages.empty());  // automatic uploads say nothing
  const auto starts = recorded_starts(record, 2);
  EXPECT_EQ(starts.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(data / "upload.json"));
}

TEST_F(UploaderTest, minute_three_while_busy_does_not_start_but_steps_past) {
  auto up = make();
  time.clock.set_wall({2026, 12, 8, 10, 2, 55, 0, 2});
  ASSERT_TRUE(up->request_manual_upload());
  up->start();
  run_for(*up, 20'000);  // 10:03:15, the manual upload still runs
  EXPECT_EQ(up->uploads_started(), 1);
  EXPECT_EQ(time.period_ms(TimerId::Upload), 70'000u);
  up->wait_until_idle();
  run_for(*up, 60'000);  // past minute 3: nothing more this hour
  EXPECT_EQ(up->uploads_started(), 1);
}

TEST_F(UploaderTest, manual_upload_passes_three_separate_arguments_and_reports_done) {
  auto up = make();
  ASSERT_TRUE(up->request_manual_upload());
  EXPECT_EQ(up->state(), UploadState::Manual);
  EXPECT_FALSE(up->request_manual_upload());  // a second request while it runs is ignored
  up->wait_until_idle();
  EXPECT_EQ(up->state(), UploadState::Idle);
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"アップロード完了"});
  EXPECT_EQ(repaints, 2);  // on start and on end
  const auto starts = recorded_starts(record, 1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], (std::vector<std::string>{"_upload", kDeviceId, (data / "upload.json").string()}));
  EXPECT_EQ(read_whole_file(data / "upload.json"), build_upload_json(live, heart));
}

TEST_F(UploaderTest, manual_upload_with_missing_tool_names_the_tool_and_does_not_claim_success) {
  const auto missing = scratch / "no-such-tool";
  auto up = make(missing);
  ASSERT_TRUE(up->request_manual_upload());
  up->wait_until_idle();
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_NE(notifier.messages[0], "アップロード完了");
  EXPECT_NE(notifier.messages[0].find(missing.string()), std::string::npos);
  EXPECT_FALSE(up->last_outcome().tool.has_value());
  EXPECT_TRUE(std::filesystem::exists(data / "upload.json"));
  EXPECT_EQ(up->state(), UploadState::Idle);
}

TEST_F(UploaderTest, without_a_worker_thread_the_upload_fails_visibly_and_the_state_returns_to_idle) {
  std::filesystem::permissions(data.path(), std::filesystem::perms::all);  // the child may be "nobody"
  const int result = testing::run_without_threads([this] {
    auto up = make();
    if (!up->request_manual_upload()) return 1;
    if (up->state() != UploadState::Idle) return 2;  // a state left busy would refuse every later upload
    if (notifier.messages.size() != 1 || notifier.messages[0] == "アップロード完了") return 3;
    if (up->last_outcome().tool.has_value() || up->last_outcome().file.has_value()) return 4;
    if (!up->request_manual_upload()) return 5;  // and the next request is taken
    return 0;
  });
  if (result == testing::kCannotBlockThreads) GTEST_SKIP() << "this machine cannot refuse a thread";
  EXPECT_EQ(result, 0);
}

TEST_F(UploaderTest, manual_request_during_automatic_upload_is_ignored_silently) {
  auto up = make();
  time.clock.set_wall({2026, 12, 8, 10, 3, 0, 0, 2});
  up->on_upload_timer();
  ASSERT_EQ(up->state(), UploadState::Automatic);
  EXPECT_FALSE(up->request_manual_upload());
  up->wait_until_idle();
  EXPECT_TRUE(notifier.messages.empty());
  EXPECT_EQ(up->uploads_started(), 1);
}

TEST_F(UploaderTest, hand_edited_id_arrives_as_one_argument) {
  const std::string odd = "12 34\"; rm -rf / ; 'x' $HOME";
  auto up = make(BRALLOW_STUB_PATH, odd);
  ASSERT_TRUE(up->request_manual_upload());
  up->wait_until_idle();
  const auto starts = recorded_starts(record, 1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], (std::vector<std::string>{"_upload", odd, (data / "upload.json").string()}));
}

TEST_F(UploaderTest, live_data_is_copied_on_the_callers_thread_before_the_worker_runs) {
  auto up = make();
  ASSERT_TRUE(up->request_manual_upload());
  // The copies were taken inside the request, here; changes after it do not reach the file.
  EXPECT_EQ(counter_reads_on, std::vector<std::thread::id>{std::this_thread::get_id()});
  EXPECT_EQ(heart_reads_on, std::vector<std::thread::id>{std::this_thread::get_id()});
  const DaySnapshot copied = live;
  const auto copied_heart = heart;
  live.record.clicks[0][10] = 999;
  heart.clear();
  up->wait_until_idle();
  EXPECT_EQ(read_whole_file(data / "upload.json"), build_upload_json(copied, copied_heart));
}

TEST_F(UploaderTest, counters_without_a_date_take_the_local_date) {
  // 00:30 local on the 9th is still the 8th in UTC; the hours must carry the 9th.
  time.clock.set_wall({2026, 12, 9, 0, 30, 0, 0, 3});
  live = DaySnapshot{};
  auto up = make();
  ASSERT_TRUE(up->request_manual_upload());
  up->wait_until_idle();
  const auto json = nlohmann::json::parse(*read_whole_file(data / "upload.json"));
  EXPECT_TRUE(json["mouse_log"].contains(std::to_string(to_local_timestamp(2026, 12, 9))));
}

TEST_F(UploaderTest, running_upload_ends_only_when_polled_after_the_worker_is_done) {
  auto up = make();
  {
    std::lock_guard lock(gate_mutex);
    gate_open = false;
  }
  ASSERT_TRUE(up->request_manual_upload());
  up->poll();
  EXPECT_EQ(up->state(), UploadState::Manual);
  EXPECT_TRUE(notifier.messages.empty());
  {
    std::lock_guard lock(gate_mutex);
    gate_open = true;
  }
  gate_cv.notify_all();
  up->wait_until_idle();
  EXPECT_EQ(up->state(), UploadState::Idle);
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"アップロード完了"});
  EXPECT_EQ(waits, (std::vector<long>{500, 2000}));
}

TEST_F(UploaderTest, destroying_while_an_upload_runs_waits_for_the_worker) {
  auto up = make();
  ASSERT_TRUE(up->request_manual_upload());
  up.reset();
  EXPECT_TRUE(notifier.messages.empty());
  EXPECT_TRUE(std::filesystem::exists(data / "upload.json"));
}

TEST(UploadToolPath, environment_overrides_the_program_folder) {
  testing::unset_environment("CORVANE_UPLOAD_TOOL");
  EXPECT_EQ(upload_tool_path().filename(), executable_file_name("brallow"));
  testing::ScopedEnvironment env("CORVANE_UPLOAD_TOOL", "/opt/x/uploader");
  EXPECT_EQ(upload_tool_path(), "/opt/x/uploader");
}

}  // namespace
}  // namespace corvane
