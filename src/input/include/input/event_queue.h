#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "input/event_def.h"

namespace corvane {

// The queue of button events between the report handler and the drain, under the state update mutex.
class EventQueue final {
 public:
  explicit EventQueue(std::size_t reserve = 50000);

  void append(const EventDef& event);

  //! Moves every queued event into `out` (its old content is dropped) and leaves the queue empty,
  //! under one lock; both vectors keep their capacity, so a steady drain allocates nothing.
  void take_all(std::vector<EventDef>& out);

  std::size_t size() const;

 private:
  mutable std::mutex mutex_;  // the "health state update mutex"
  std::vector<EventDef> events_;
};

}  // namespace corvane
