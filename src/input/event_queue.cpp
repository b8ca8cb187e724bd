#include "input/event_queue.h"

namespace corvane {

EventQueue::EventQueue(std::size_t reserve) {
  events_.reserve(reserve);
}

void EventQueue::append(const EventDef& event) {
  std::lock_guard lock(mutex_);
  events_.push_back(event);
}

void EventQueue::take_all(std::vector<EventDef>& out) {
  out.clear();
  std::lock_guard lock(mutex_);
  out.swap(events_);
}

std::size_t EventQueue::size() const {
  std::lock_guard lock(mutex_);
  return events_.size();
}

}  // namespace corvane
