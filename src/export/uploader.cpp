#include "base/path_text.h"
#include "export/uploader.h"

#include <system_error>

#include "base/user_texts.h"
#include "export/upload_file.h"
#include "export/upload_tool.h"

namespace corvane {

UploadOutcome run_upload(const UploadJob& job, const std::function<void(std::chrono::milliseconds)>& wait) {
  UploadOutcome outcome;
  outcome.file = write_upload_file(job.data_folder, job.counters, job.heart_log);
  wait(std::chrono::milliseconds(500));
  outcome.tool = start_upload_tool(job.tool, job.device_id, job.data_folder / kUploadFileName);
  wait(std::chrono::milliseconds(2000));
  return outcome;
}

std::string upload_failure_text(const UploadJob& job, const UploadOutcome& outcome) {
  std::string text;
  if (!outcome.tool) text = user_text::kUploadToolNotStarted + path_text(job.tool);
  if (!outcome.file) {
    if (!text.empty()) text += "\n";
    text += user_text::kUploadFileNotWritten + path_text(job.data_folder / kUploadFileName);
  }
  return text;
}

Uploader::Uploader(const Clock& clock, Scheduler& scheduler, Notifier& notifier, Config config, Hooks hooks)
    : clock_(clock),
      scheduler_(scheduler),
      notifier_(notifier),
      config_(std::move(config)),
      hooks_(std::move(hooks)) {
  if (!hooks_.wait) hooks_.wait = [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); };
}

Uploader::~Uploader() {
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

  set_state(kind);
  ++uploads_started_;
  // The previous worker has left its outcome already (the state was idle), so this join is immediate.
  if (worker_.joinable()) worker_.join();
  try {
    worker_ = std::thread([this, job]() mutable {
      UploadOutcome outcome = run_upload(job, hooks_.wait);
      std::lock_guard lock(done_mutex_);
      done_.emplace(std::move(job), std::move(outcome));
    });
  } catch (const std::system_error& e) {
    // No thread to run it on (the system is out of threads): the upload fails as a whole, is reported
    // like any failed upload, and the state returns to idle so the next trigger tries again.
    UploadOutcome outcome;
    outcome.file = fail(std::string("no worker thread for the upload: ") + e.what());
    outcome.tool = outcome.file;
    finish(job, outcome);
  }
}

void Uploader::poll() {
  std::optional<std::pair<UploadJob, UploadOutcome>> done;
  {
    std::lock_guard lock(done_mutex_);
    done.swap(done_);
  }
  if (done) finish(done->first, done->second);
}

void Uploader::wait_until_idle() {
  if (worker_.joinable()) worker_.join();
  poll();
}

void Uploader::finish(const UploadJob& job, const UploadOutcome& outcome) {
  const bool manual = state_ == UploadState::Manual;
  last_outcome_ = outcome;
  state_ = UploadState::Idle;
  if (manual) {
    // A failed start is reported as such; "done" is only claimed when the tool was started and had a file.
    if (outcome.tool && outcome.file) {
      notifier_.show_message(user_text::kUploadDone);
    } else {
      notifier_.show_message(upload_failure_text(job, outcome));
    }
  }
  set_state(UploadState::Idle);
}

}  // namespace corvane
