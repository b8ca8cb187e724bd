#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "base/result.h"

namespace corvane {

class InstanceGuard;

enum class ClaimOutcome {
  Claimed,        // this process is the program of the data folder; `guard` is set
  HeldElsewhere,  // another process holds the data folder
  // The lock file names another machine (a synced or network folder, whose lock does not travel): a
  // Corvane there uses the folder, or ended there without closing. Taken over only when asked to.
  HeldOnAnotherMachine,
  Failed,  // the folder could not be claimed at all
};

struct ClaimResult {
  ClaimOutcome outcome = ClaimOutcome::Failed;
  std::unique_ptr<InstanceGuard> guard;  // only when Claimed
  std::string message;                   // for the user, naming the folder; empty when Claimed
  std::string holder_host{};             // the holder's machine, when its note names one
  std::string holder_since{};            // when it claimed the folder ("YYYY-MM-DD HH:MM"), if known
};

enum class CloseOutcome {
  Closed,       // the program has ended and the data folder is free
  NothingRuns,  // no program held the data folder
  NoAnswer,     // the program did not end in time, or could not be reached
};

struct CloseResult {
  CloseOutcome outcome = CloseOutcome::NoAnswer;
  std::string message;  // for the user; empty when Closed
};

// One program per data folder, for the desktop and the headless program alike. The holder keeps an
// exclusive lock on "<data folder>/.corvane.lock" (flock() on Linux, a byte-range lock on Windows), so
// the lock of a program that crashed is gone with its process, and listens on a local channel found from
// the data folder's canonical path (a socket in a private folder on Linux, a named pipe only this user
// may open on Windows), so a later start can ask it to end. A request is the line "close\n"; the holder
// keeps the connection open while it saves, then answers "ok\n" and closes it. The guard owns no thread:
// the caller's event loop watches listen_fd() and calls on_readable().
// The holder notes its process, machine and start in the lock file and empties the note when it ends:
// a lock does not travel with a synced folder, but the note does.
class InstanceGuard {
 public:
  // Becomes the program of `data_folder` (which must exist), or says who holds it or why it failed.
  // `take_over_from_another_machine`: the user has said that the folder noted as held on another
  // machine is no longer used there.
  static ClaimResult claim(const std::filesystem::path& data_folder,
                           bool take_over_from_another_machine = false);

  // Asks the program of `data_folder` to end; returns once it has ended and released the folder.
  static CloseResult request_close(const std::filesystem::path& data_folder,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(15));

  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // The one thing to wait on: ready whenever any connection needs on_readable(). On Linux a descriptor
  // to poll for reading; on Windows the value of an event handle, which the readiness wait waits on.
  int listen_fd() const;

  // Takes in waiting connections and requests without blocking; true when a close request arrived.
  bool on_readable();

  // Answers every close request once the exit work (the day saved) is done, and ends those connections.
  void acknowledge_close();

 private:
  struct State;  // the platform's lock, channel and connections

  InstanceGuard();

  std::unique_ptr<State> state_;
};

}  // namespace corvane
