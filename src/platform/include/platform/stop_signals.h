#pragma once

#include <memory>

namespace corvane {

// The user's or the system's request to end the program — SIGINT (Ctrl-C), SIGTERM, SIGHUP (logout) on
// Linux; Ctrl-C, Ctrl-Break or a closing console on Windows — turned into something the program's own
// loop notices, so that it saves the day and ends through its normal exit path instead of dying in a
// signal handler. While one exists, those requests no longer end the process. One at a time per process.
class StopSignals final {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  //! Readable once a stop was requested (watch it with poll() or a QSocketNotifier); -1 where the
  //! platform has no descriptors (Windows: wait on native_event() or ask take_requests()).
  int descriptor() const;
  //! Takes the pending requests: true when at least one arrived since the last call.
  bool take_requests();
  //! Windows: an event handle that is set by a request; null elsewhere.
  void* native_event() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace corvane
