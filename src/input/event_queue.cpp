#include "input/event_queue.h"

namespace corvane {

EventQueue::EventQueue(std::size_t reserve) {
  events_.reserve(reserve);
}

void EventQueue::append(const ButtonEvent& event) {
  events_.push_back(event);
}

void EventQueue::take_all(std::vector<ButtonEvent>& out) {
  out.clear();
  out.swap(events_);
}

}  // namespace corvane
