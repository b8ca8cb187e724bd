#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/result.h"
#include "engine/command_line.h"
#include "platform/instance_guard.h"
#include "replay/capture.h"

namespace corvane {

// The process's exit status, the same for the desktop and the headless program.
enum ExitStatus : int {
  kExitClean = 0,          // ended cleanly, the day saved
  kExitFailed = 1,         // the final save failed, a /close was not answered, no device layer
  kExitUnusableStart = 2,  // a bad command line, capture or data folder
  kExitFolderInUse = 3,    // another Corvane runs on the data folder
};

// A start-up that cannot go on: what to tell the user and the status to end with.
struct StartupFailure {
  std::string message;
  int exit_status = kExitUnusableStart;
  // Set when another machine is noted as the folder's holder: the start may go on with --force, and
  // the desktop program asks the user whether to take the folder over.
  bool can_take_over = false;
  std::string holder_host{};
  std::string holder_since{};
};

// What both programs need before their engine runs, made in one place: the data folder (created), the
// claim on it (one program per data folder) and the reports to replay, if any.
struct Startup {
  std::filesystem::path data_folder;
  std::unique_ptr<InstanceGuard> guard;              // held for the life of the program
  std::optional<std::vector<CaptureEntry>> capture;  // the reports to replay; none: the sensor mouse
};

// A capture built into the program (the desktop's demo): its text and the name its errors give.
struct BuiltinCapture {
  std::string_view text;
  std::string_view name;
};

//! --data-dir, or the documents folder's "Corvane".
std::filesystem::path data_folder_of(const CommandLine& options);

//! "/close": asks the program that runs on the data folder to end and returns once it has, with the
//! process's exit status (nothing running there is no failure). Messages go to `err`.
int close_running_instance(const CommandLine& options, std::ostream& err);

//! Creates the data folder, claims it (taking it over from another machine with --force), and reads the
//! capture (--replay FILE, or `demo` when given) before
//! anything runs, so that a broken capture or a held folder ends the start with a clear message.
Result<Startup, StartupFailure> start_up(const CommandLine& options,
                                         std::optional<BuiltinCapture> demo = std::nullopt);

//! The wall clock of a real-time run: the system's, or one that starts at --start and runs at the real
//! pace.
std::unique_ptr<Clock> make_wall_clock(const CommandLine& options);

}  // namespace corvane
