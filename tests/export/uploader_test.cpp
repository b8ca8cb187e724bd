#include "export/uploader.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "platform/file_read.h"
#include "base/user_texts.h"
#include "export/device_id.h"
#include "export/upload_file.h"
#include "export/upload_tool.h"
#include "export/upload_tool_starts.h"
#include "platform/file_read.h"
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
  std::unique_ptr<Uploader> make(std::filesystem::path tool = BRALLOW_STUB_PATH, std::string id = kDeviceId,
                                 std::chrono::milliseconds tool_time_limit = kUploadToolTimeLimit) {
    Uploader::Hooks hooks;
    hooks.counters = [this] {
      counter_reads_on.push_back(std::this_thread::get_id());
      return live;
    };
    hooks.heart_log = [this] {
      heart_reads_on.push_back(std::this_thread::get_id());
      return heart;
    };
    hooks.state_changed = [this] { ++repaints; };
    return std::make_unique<Uploader>(
        time.clock, time, notifier,
        Uploader::Config{data.path(), std::move(tool), std::move(id), tool_time_limit}, hooks);
  }
  // A stand-in tool written as a shell script.
  std::filesystem::path script_tool(const std::string& name, const std::string& body) {
    const auto path = scratch / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
  }
  // A tool that runs until the test creates `gate`.
  std::filesystem::path gated_tool() {
    return script_tool("gated", "while [ ! -e '" + gate.string() + "' ]; do sleep 0.02; done");
  }
  void open_gate() { std::ofstream(gate) << "open"; }
  std::string log_text() const { return read_whole_file(data / "corvane.log").value_or(""); }
  void run_for(Uploader& up, std::int64_t ms) {
    time.on_timer = [&](TimerId id) {
      if (id == TimerId::Upload) up.on_upload_timer();
    };
    time.advance_ms(ms);
  }

  VirtualTime time;  // Tuesday 2026-12-08 10:00
  RecordingNotifier notifier;
  TempFolder data;
  TempFolder scratch;
  std::filesystem::path gate = scratch / "gate";
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
  auto up = make(gated_tool());
  time.clock.set_wall({2026, 12, 8, 10, 2, 55, 0, 2});
  ASSERT_TRUE(up->request_manual_upload());
  up->start();
  run_for(*up, 20'000);  // 10:03:15, the manual upload's tool still runs
  EXPECT_EQ(up->uploads_started(), 1);
  EXPECT_EQ(time.period_ms(TimerId::Upload), 70'000u);
  open_gate();
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
  EXPECT_EQ(up->last_upload()->outcome.result, UploadResult::ToolNotStarted);
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
    if (!up->last_upload() || up->last_upload()->outcome.result != UploadResult::NoWorker) return 4;
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

TEST_F(UploaderTest, running_upload_ends_only_when_polled_after_the_tool_ended) {
  auto up = make(gated_tool());
  ASSERT_TRUE(up->request_manual_upload());
  up->poll();
  EXPECT_EQ(up->state(), UploadState::Manual);
  EXPECT_TRUE(notifier.messages.empty());
  open_gate();
  up->wait_until_idle();
  EXPECT_EQ(up->state(), UploadState::Idle);
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"アップロード完了"});
}

TEST_F(UploaderTest, automatic_failures_are_logged_and_no_tool_runs_without_a_fresh_file) {
  std::filesystem::create_directory(scratch / "a-folder");
  struct Case {
    const char* what;
    std::filesystem::path tool;
    UploadResult result;
    std::string logged;
  };
  const std::vector<Case> cases = {
      {"missing", scratch / "no-such-tool", UploadResult::ToolNotStarted,
       (scratch / "no-such-tool").string()},
      {"a folder", scratch / "a-folder", UploadResult::ToolNotStarted, (scratch / "a-folder").string()},
      {"failing", script_tool("failing", "exit 3"), UploadResult::ToolFailed, "ended with status 3"},
  };
  time.clock.set_wall({2026, 12, 8, 10, 3, 0, 0, 2});
  for (const Case& c : cases) {
    auto up = make(c.tool);
    up->on_upload_timer();
    up->wait_until_idle();
    ASSERT_TRUE(up->last_upload()) << c.what;
    EXPECT_EQ(up->last_upload()->outcome.result, c.result) << c.what;
    EXPECT_NE(log_text().find("2026-12-08 10:03:00 automatic upload failed: "), std::string::npos) << c.what;
    EXPECT_NE(log_text().find(c.logged), std::string::npos) << c.what << ": " << log_text();
  }

  // An "upload.json" that cannot be replaced: the tool is not started on the stale file.
  std::filesystem::remove(data / "upload.json");
  std::filesystem::create_directory(data / "upload.json");
  auto up = make();
  up->on_upload_timer();
  up->wait_until_idle();
  EXPECT_EQ(up->last_upload()->outcome.result, UploadResult::FileNotWritten);
  EXPECT_FALSE(std::filesystem::exists(record));  // the stub never ran
  EXPECT_NE(log_text().find("the upload tool was not started"), std::string::npos) << log_text();
  EXPECT_TRUE(notifier.messages.empty());  // nobody asked: the log and the page tell
}

TEST_F(UploaderTest, tool_that_does_not_end_is_ended_after_the_limit) {
  const auto pid_file = scratch / "pid";
  const auto hung = script_tool("hung", "echo $$ > '" + pid_file.string() + "'\nexec sleep 600");
  auto up = make(hung, kDeviceId, std::chrono::milliseconds(1000));
  time.clock.set_wall({2026, 12, 8, 10, 3, 0, 0, 2});
  up->on_upload_timer();
  up->wait_until_idle();
  ASSERT_TRUE(up->last_upload());
  EXPECT_EQ(up->last_upload()->outcome.result, UploadResult::ToolOverran);
  EXPECT_NE(log_text().find(hung.string() + " had not ended after 1 s and was ended"), std::string::npos)
      << log_text();
  // Ended and collected: no process of that number is left, not even a zombie.
  if (const auto pid = read_whole_file(pid_file); pid && !pid->empty()) {
    EXPECT_NE(::kill(std::stoi(*pid), 0), 0);
  }
}

TEST_F(UploaderTest, unfit_ids_never_reach_the_tool_and_the_reason_is_logged) {
  // Read back as a hand edit left it: a NUL must not cut the ID short into something that passes.
  const std::string ini = std::string("[arg]\nid=1234\0-5678\n", 20);
  ASSERT_TRUE(write_file_atomically(data / "set.ini", ini));
  const std::string with_nul = read_or_create_device_id(data.path()).id;
  EXPECT_EQ(with_nul, std::string("1234\0-5678", 10));

  for (const std::string& id :
       {with_nul, std::string("-1234567890123456"), std::string(65, '7'), std::string("12\n34")}) {
    auto up = make(BRALLOW_STUB_PATH, id);
    ASSERT_TRUE(up->request_manual_upload());
    up->wait_until_idle();
    EXPECT_EQ(up->last_upload()->outcome.result, UploadResult::IdRefused) << id;
    EXPECT_EQ(up->state(), UploadState::Idle);
  }
  EXPECT_FALSE(std::filesystem::exists(record));  // the stub never ran
  EXPECT_FALSE(std::filesystem::exists(data / "upload.json"));
  const std::string log = log_text();
  for (const char* why : {"1234\\x00-5678\" holds a character that is not printable", "begins with \"-\"",
                          "longer than 64 characters", "12\\x0A34\" holds"})
    EXPECT_NE(log.find(why), std::string::npos) << why << " in " << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);          // one line each, whatever the ID held
  EXPECT_EQ(read_whole_file(data / "set.ini").value_or(""), ini);  // the ID stays as the user wrote it
  ASSERT_EQ(notifier.messages.size(), 4u);
  EXPECT_TRUE(notifier.messages[0].starts_with(user_text::kUploadIdRefused));
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
