#pragma once

#include <cstddef>
#include <vector>

#include "input/button_event.h"

namespace corvane {

// The queue of button events between the report handler and the drain. Engine thread only: reports and
// the drain timer both arrive there, so it needs no lock.
class EventQueue final {
 public:
  explicit EventQueue(std::size_t reserve = 50000);

  void append(const ButtonEvent& event);

  //! Moves every queued event into `out` (its old content is dropped) and leaves the queue empty; both
  //! vectors keep their capacity, so a steady drain allocates nothing.
  void take_all(std::vector<ButtonEvent>& out);

  std::size_t size() const { return events_.size(); }

 private:
  std::vector<ButtonEvent> events_;
};

}  // namespace corvane
