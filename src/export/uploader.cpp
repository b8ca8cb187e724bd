#include "base/path_text.h"
#include "export/uploader.h"

#include <algorithm>
#include <system_error>

#include "base/user_texts.h"
#include "export/device_id.h"
#include "export/upload_file.h"
#include "export/upload_tool.h"

namespace corvane {

namespace {

constexpr auto kAbandonCheck = std::chrono::milliseconds(100);

UploadOutcome failed(UploadResult result, std::string detail) {
  return {result, std::move(detail)};
}

}  // namespace

UploadOutcome run_upload(const UploadJob& job, const std::atomic<bool>& abandon) {
  const std::filesystem::path file = job.data_folder / kUploadFileName;
  // A tool started after a failed write would send a stale file, or none.
  if (const Result<void> written = write_upload_file(job.data_folder, job.counters, job.heart_log); !written)
    return failed(UploadResult::FileNotWritten,
                  written.error().message + "; the upload tool was not started");

  Result<std::unique_ptr<ChildProcess>> started = start_upload_tool(job.tool, job.device_id, file);
  if (!started) return failed(UploadResult::ToolNotStarted, started.error().message);
  ChildProcess& tool = **started;

  // The limit is the tool's own running time, on the steady clock: a replay in virtual time has no
  // other measure for a real process.
  const auto deadline = std::chrono::steady_clock::now() + job.tool_time_limit;
  for (;;) {
    if (abandon)
      return failed(UploadResult::ToolLeftRunning, "the program ended while the upload tool " +
                                                       path_text(job.tool) + " ran; it was left to finish");
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      tool.kill();
      return failed(UploadResult::ToolOverran,
                    "the upload tool " + path_text(job.tool) + " had not ended after " +
                        std::to_string(job.tool_time_limit.count() / 1000) + " s and was ended");
    }
    if (const std::optional<int> status = tool.wait_for(std::min(left, kAbandonCheck))) {
      if (*status == 0) return {};
      return failed(UploadResult::ToolFailed,
                    "the upload tool " + path_text(job.tool) + " ended with status " + std::to_string(*status));
    }
  }
}

std::string upload_failure_text(const UploadOutcome& outcome) {
  const char* what = user_text::kUploadToolNotStarted;
  switch (outcome.result) {
    case UploadResult::Done:
      return user_text::kUploadDone;
    case UploadResult::IdRefused:
      what = user_text::kUploadIdRefused;
      break;
    case UploadResult::FileNotWritten:
      what = user_text::kUploadFileNotWritten;
      break;
    case UploadResult::ToolFailed:
      what = user_text::kUploadToolFailed;
      break;
    case UploadResult::ToolOverran:
      what = user_text::kUploadToolStopped;
      break;
    case UploadResult::ToolNotStarted:
    case UploadResult::ToolLeftRunning:
    case UploadResult::NoWorker:
      break;
  }
  return what + outcome.detail;
}

Uploader::Uploader(const Clock& clock, Scheduler& scheduler, Notifier& notifier, Config config, Hooks hooks)
    : clock_(clock),
      scheduler_(scheduler),
      notifier_(notifier),
      config_(std::move(config)),
      hooks_(std::move(hooks)),
      log_(config_.data_folder) {}

Uploader::~Uploader() {
  abandon_ = true;
  if (worker_.joinable()) worker_.join();
}

void Uploader::start() {
  scheduler_.start_timer(TimerId::Upload, kFirstUploadCheckMs);
}

void Uploader::on_upload_timer() {
  scheduler_.stop_timer(TimerId::Upload);
  const LocalDateTime now = from_local_timestamp(local_timestamp_now(clock_));
  if (now.minute == kUploadMinute) {
    if (state_ == UploadState::Idle) begin(UploadState::Automatic);
    scheduler_.start_timer(TimerId::Upload, kUploadAfterStartMs);
  } else {
    scheduler_.start_timer(TimerId::Upload, kUploadRecheckMs);
  }
}

bool Uploader::request_manual_upload() {
  if (state_ != UploadState::Idle) return false;
  begin(UploadState::Manual);
  return true;
}

void Uploader::set_state(UploadState s) {
  state_ = s;
  if (hooks_.state_changed) hooks_.state_changed();
}

void Uploader::begin(UploadState kind) {
  // Copies taken here, on the engine's thread, are all the worker reads.
  UploadJob job;
  job.counters = hooks_.counters ? hooks_.counters() : DaySnapshot{};
  if (job.counters.year == 0) {
    // Counters without a date belong to today (the local date, as the hours they count).
    const LocalDateTime today = clock_.local_now();
    job.counters.year = today.year;
    job.counters.month = today.month;
    job.counters.day = today.day;
  }
  if (hooks_.heart_log) job.heart_log = hooks_.heart_log();
  job.data_folder = config_.data_folder;
  job.tool = config_.tool;
  job.device_id = config_.device_id;
  job.tool_time_limit = config_.tool_time_limit;

  set_state(kind);
  began_ = clock_.local_now();
  ++uploads_started_;
  // The ID stays in "set.ini" as the user wrote it; it only never reaches the tool's command line.
  if (const Result<void> id = check_device_id_for_upload(job.device_id); !id) {
    finish(failed(UploadResult::IdRefused, id.error().message + "; the upload was skipped"));
    return;
  }
  // The previous worker has left its outcome already (the state was idle), so this join is immediate.
  if (worker_.joinable()) worker_.join();
  try {
    worker_ = std::thread([this, job = std::move(job)] {
      UploadOutcome outcome = run_upload(job, abandon_);
      std::lock_guard lock(done_mutex_);
      done_.emplace(std::move(outcome));
    });
  } catch (const std::system_error& e) {
    // No thread to run it on (the system is out of threads): the upload fails as a whole, is reported
    // like any failed upload, and the state returns to idle so the next trigger tries again.
    finish(failed(UploadResult::NoWorker, std::string("no worker thread for the upload: ") + e.what()));
  }
}

void Uploader::poll() {
  std::optional<UploadOutcome> done;
  {
    std::lock_guard lock(done_mutex_);
    done.swap(done_);
  }
  if (done) finish(*done);
}

void Uploader::wait_until_idle() {
  if (worker_.joinable()) worker_.join();
  poll();
}

void Uploader::abandon_running_tool() {
  abandon_ = true;
  wait_until_idle();
  abandon_ = false;
}

void Uploader::finish(const UploadOutcome& outcome) {
  const bool manual = state_ == UploadState::Manual;
  last_upload_ = LastUpload{began_, outcome};
  state_ = UploadState::Idle;
  const std::string kind = manual ? "manual upload" : "automatic upload";
  if (outcome.result == UploadResult::ToolLeftRunning) {
    // The program is ending: nobody is left to read a message, and nothing failed yet.
    static_cast<void>(log_.append(clock_.local_now(), kind + ": " + outcome.detail));
  } else {
    if (!outcome.succeeded()) {
      // Where the log cannot be written either, the page's last outcome is all that is left.
      static_cast<void>(log_.append(clock_.local_now(), kind + " failed: " + outcome.detail));
    }
    // A failed upload is reported as such; "done" is only claimed when the tool ran well on a fresh file.
    if (manual)
      notifier_.show_message(outcome.succeeded() ? user_text::kUploadDone : upload_failure_text(outcome));
  }
  set_state(UploadState::Idle);
}

}  // namespace corvane
