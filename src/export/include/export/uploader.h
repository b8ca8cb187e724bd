#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/clock.h"
#include "base/daily_activity.h"
#include "base/notifier.h"
#include "base/scheduler.h"
#include "heart/heart_log.h"
#include "platform/atomic_file.h"
#include "platform/process_launcher.h"

namespace corvane {

inline constexpr std::uint32_t kFirstUploadCheckMs = 10'000;
inline constexpr std::uint32_t kUploadRecheckMs = 2'000;
inline constexpr std::uint32_t kUploadAfterStartMs = 70'000;  // steps past minute 3 so it starts once
inline constexpr int kUploadMinute = 3;

// Everything one upload needs, copied on the engine's thread before the worker starts: the worker never
// touches the live counters or the live heart-rate list.
struct UploadJob {
  DaySnapshot counters;
  std::vector<HeartLog> heart_log;
  std::filesystem::path data_folder;
  std::filesystem::path tool;
  std::string device_id;
};

struct UploadOutcome {
  Result<void> file;
  Result<void> tool;
};

// The worker's part: write "upload.json", pause, start the tool, pause. A failed write does not stop the
// tool from being started (it then sends whatever file lies there).
UploadOutcome run_upload(const UploadJob& job, const std::function<void(std::chrono::milliseconds)>& wait);

// The text shown when a requested upload could not be done: names what failed.
std::string upload_failure_text(const UploadJob& job, const UploadOutcome& outcome);

enum class UploadState : int { Idle = 0, Manual = 1, Automatic = 2 };

// The upload state, the hourly trigger (timer Upload) and the user's upload command. Lives on the engine's
// thread; each upload runs on a worker thread. The worker leaves its outcome behind and the engine's
// thread takes it up in poll() (the owner calls it regularly, e.g. on every timer), so the state and the
// messages are only ever touched on the engine's thread. done_mutex_ guards done_, the one member both
// threads touch; the worker otherwise reads only its job copy and hooks_.wait, set before it starts.
class Uploader final {
 public:
  struct Hooks {
    std::function<DaySnapshot()> counters;             // the live counters with their date
    std::function<std::vector<HeartLog>()> heart_log;  // the in-memory heart-rate list
    // The pauses before and after starting the tool; the real sleep unless a test replaces it.
    std::function<void(std::chrono::milliseconds)> wait;
    std::function<void()> state_changed;  // repaint; may be empty
  };
  struct Config {
    std::filesystem::path data_folder;
    std::filesystem::path tool;
    std::string device_id;
  };

  Uploader(const Clock& clock, Scheduler& scheduler, Notifier& notifier, Config config, Hooks hooks);
  ~Uploader();  // waits for a running worker (at most the two pauses and a file write)
  Uploader(const Uploader&) = delete;
  Uploader& operator=(const Uploader&) = delete;

  //! Arms the hourly trigger: first check 10 000 ms from now.
  void start();
  //! Timer Upload fired.
  void on_upload_timer();
  //! The user's upload command; ignored (false) while an upload runs.
  bool request_manual_upload();
  //! Ends a finished upload: back to idle, and for a manual upload its message. Cheap when none ended.
  void poll();
  //! Waits for a running upload (the file write and the two pauses) and ends it.
  void wait_until_idle();

  UploadState state() const { return state_; }
  int uploads_started() const { return uploads_started_; }
  const UploadOutcome& last_outcome() const { return last_outcome_; }

 private:
  void begin(UploadState kind);
  void finish(const UploadJob& job, const UploadOutcome& outcome);
  void set_state(UploadState s);

  const Clock& clock_;
  Scheduler& scheduler_;
  Notifier& notifier_;
  Config config_;
  Hooks hooks_;
  UploadState state_ = UploadState::Idle;
  int uploads_started_ = 0;
  UploadOutcome last_outcome_;
  std::thread worker_;
  std::mutex done_mutex_;
  std::optional<std::pair<UploadJob, UploadOutcome>> done_;  // set by the worker, taken by poll()
};

}  // namespace corvane
