#include "input/event_queue.h"

namespace corvane {

EventQueue::EventQueue(std::size_t reserve) {
  events_.reserve(reserve);
}

void EventQueue::append(const EventDef& event) {
  events_.push_back(event);
}

void EventQueue::take_all(std::vector<EventDef>& out) {
  out.clear();
  out.swap(events_);
}

}  // namespace corvane
