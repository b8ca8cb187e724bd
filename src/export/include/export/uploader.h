#pragma once

#include <atomic>
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
#include "export/program_log.h"
#include "heart/heart_log.h"
#include "platform/atomic_file.h"

namespace corvane {

inline constexpr std::uint32_t kFirstUploadCheckMs = 10'000;
inline constexpr std::uint32_t kUploadRecheckMs = 2'000;
inline constexpr std::uint32_t kUploadAfterStartMs = 70'000;  // steps past minute 3 so it starts once
inline constexpr int kUploadMinute = 3;

// A tool that has not ended after this long is taken for hung and ended, so tools never pile up.
inline constexpr std::chrono::milliseconds kUploadToolTimeLimit = std::chrono::minutes(10);

// Everything one upload needs, copied on the engine's thread before the worker starts: the worker never
// touches the live counters or the live heart-rate list.
struct UploadJob {
  DaySnapshot counters;
  std::vector<HeartLog> heart_log;
  std::filesystem::path data_folder;
  std::filesystem::path tool;
  std::string device_id;
  std::chrono::milliseconds tool_time_limit = kUploadToolTimeLimit;
};

enum class UploadResult {
  Done,             // "upload.json" written, the tool started and ended with status 0
  IdRefused,        // the device ID is unfit for the tool's command line: nothing written, no tool
  FileNotWritten,   // "upload.json" could not be written, so the tool was not started
  ToolNotStarted,   // the tool is missing, not a program, or could not be started
  ToolFailed,       // the tool ended with a status other than 0
  ToolOverran,      // the tool had not ended within the time limit and was ended
  ToolLeftRunning,  // the program ended while the tool ran; it was left to finish on its own
  NoWorker,         // the system gave no thread to run the upload on
};

struct UploadOutcome {
  UploadResult result = UploadResult::Done;
  std::string detail;  // what failed and why, with paths and the system's words; empty when Done
  bool succeeded() const { return result == UploadResult::Done; }
};

// The worker's part: write "upload.json"; only when that worked, start the tool, and wait for its end for
// at most the job's time limit, ending it after that. `abandon` set by another thread stops the wait and
// leaves the tool running.
UploadOutcome run_upload(const UploadJob& job, const std::atomic<bool>& abandon);

// The text shown when a requested upload could not be done: what failed, then the details.
std::string upload_failure_text(const UploadOutcome& outcome);

enum class UploadState : int { Idle = 0, Manual = 1, Automatic = 2 };

// The upload state, the hourly trigger (timer Upload) and the user's upload command. Lives on the engine's
// thread; each upload runs on a worker thread, and as the state stays busy until the worker is done,
// at most one tool runs at a time. The worker leaves its outcome behind and the engine's thread takes it
// up in poll() (the owner calls it regularly, e.g. on every timer), so the state, the messages and the
// log ("corvane.log": every failed upload, automatic or not) are only ever touched on the engine's
// thread. done_mutex_ guards done_; abandon_ is atomic; the worker otherwise reads only its job copy.
// Nothing here waits on the wall clock: a replay in virtual time only waits for the work itself.
class Uploader final {
 public:
  struct Hooks {
    std::function<DaySnapshot()> counters;             // the live counters with their date
    std::function<std::vector<HeartLog>()> heart_log;  // the in-memory heart-rate list
    std::function<void()> state_changed;               // repaint; may be empty
  };
  struct Config {
    std::filesystem::path data_folder;
    std::filesystem::path tool;
    std::string device_id;
    std::chrono::milliseconds tool_time_limit = kUploadToolTimeLimit;
  };

  // The last upload that ended, for the page: when it began (engine clock) and how it went.
  struct LastUpload {
    LocalDateTime began;
    UploadOutcome outcome;
  };

  Uploader(const Clock& clock, Scheduler& scheduler, Notifier& notifier, Config config, Hooks hooks);
  ~Uploader();  // abandons a running tool (it goes on by itself) and waits for the worker
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
  //! Waits for a running upload (the file write and the tool, at most its time limit) and ends it.
  void wait_until_idle();
  //! For the program's end: stops waiting for a running tool, leaving it to finish on its own, and
  //! ends the upload (logged).
  void abandon_running_tool();

  UploadState state() const { return state_; }
  int uploads_started() const { return uploads_started_; }
  //! Nothing before the first upload ended.
  const std::optional<LastUpload>& last_upload() const { return last_upload_; }
  const std::filesystem::path& log_path() const { return log_.path(); }

 private:
  void begin(UploadState kind);
  void finish(const UploadOutcome& outcome);
  void set_state(UploadState s);

  const Clock& clock_;
  Scheduler& scheduler_;
  Notifier& notifier_;
  Config config_;
  Hooks hooks_;
  UploadState state_ = UploadState::Idle;
  int uploads_started_ = 0;
  LocalDateTime began_;  // of the running upload
  std::optional<LastUpload> last_upload_;
  ProgramLog log_;
  std::thread worker_;
  std::atomic<bool> abandon_{false};
  std::mutex done_mutex_;
  std::optional<UploadOutcome> done_;  // set by the worker, taken by poll()
};

}  // namespace corvane
