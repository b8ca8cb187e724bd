#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace corvane {

// The headless program's way of sleeping: waits on the calling thread until a watched descriptor has
// data, the user asks the program to stop (see StopSignals) or a timeout passes. While one exists,
// those stop requests end the wait instead of the process, so the caller can save first. On Windows the
// "descriptors" are waitable handles' values, and the wait also dispatches the thread's window messages
// (that is how raw input reaches its sink in headless mode).
class ReadinessWait final {
 public:
  struct Outcome {
    bool stop_requested = false;
    std::vector<int> readable;  // descriptors with data (or an error or hang-up for the reader to see)
  };

  ReadinessWait();
  ~ReadinessWait();
  ReadinessWait(const ReadinessWait&) = delete;
  ReadinessWait& operator=(const ReadinessWait&) = delete;

  //! Waits for one of `descriptors`, a stop request, or `timeout_ms` (none: no limit); fails only when
  //! the wait itself fails.
  Result<Outcome> wait(std::span<const int> descriptors, std::optional<std::int64_t> timeout_ms);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace corvane
