#include "base/path_text.h"
#include "engine/startup.h"

#include <system_error>

#include "platform/folders.h"
#include "platform/system_clock.h"
#include "replay/replay_clock.h"

namespace corvane {

std::filesystem::path data_folder_of(const CommandLine& options) {
  return options.data_dir ? *options.data_dir : default_data_folder();
}

int close_running_instance(const CommandLine& options, std::ostream& err) {
  const CloseResult closed = InstanceGuard::request_close(data_folder_of(options));
  switch (closed.outcome) {
    case CloseOutcome::Closed:
      return kExitClean;
    case CloseOutcome::NothingRuns:
      // What /close was for holds already: no program runs there.
      err << "corvane: " << closed.message << '\n';
      return kExitClean;
    case CloseOutcome::NoAnswer:
      break;
  }
  err << "corvane: " << closed.message << '\n';
  return kExitFailed;
}

Result<Startup, StartupFailure> start_up(const CommandLine& options, std::optional<BuiltinCapture> demo) {
  Startup startup;
  startup.data_folder = data_folder_of(options);
  std::error_code ec;
  std::filesystem::create_directories(startup.data_folder, ec);
  if (ec) {
    return StartupFailure{
        "cannot create the data folder " + path_text(startup.data_folder) + ": " + ec.message(),
        kExitUnusableStart};
  }

  // One program per data folder: two would write the same day file.
  ClaimResult claim = InstanceGuard::claim(startup.data_folder);
  switch (claim.outcome) {
    case ClaimOutcome::Claimed:
      startup.guard = std::move(claim.guard);
      break;
    case ClaimOutcome::HeldElsewhere:
      return StartupFailure{claim.message, kExitFolderInUse};
    case ClaimOutcome::Failed:
      return StartupFailure{claim.message, kExitUnusableStart};
  }

  // A broken capture is reported before anything runs.
  if (demo || options.replay) {
    Result<std::vector<CaptureEntry>> capture =
        demo ? parse_capture(demo->text, demo->name) : read_capture(*options.replay);
    if (!capture) return StartupFailure{capture.error().message, kExitUnusableStart};
    startup.capture = std::move(*capture);
  }
  return startup;
}

std::unique_ptr<Clock> make_wall_clock(const CommandLine& options) {
  if (options.start) return std::make_unique<ReplayClock>(*options.start, ReplayClock::Mode::RealTime);
  return std::make_unique<SystemClock>();
}

}  // namespace corvane
