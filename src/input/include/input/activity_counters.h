#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/daily_activity.h"
#include "input/button_event.h"
#include "input/hooks.h"

namespace corvane {

// The live day counters: presses, double clicks and travel per hour, plus the per-button state of the
// double-click rule. Touched only on the engine's thread.
class ActivityCounters final {
 public:
  //! `double_click_ms` is the platform's double-click time T.
  explicit ActivityCounters(std::uint32_t double_click_ms);

  const DailyActivity& record() const { return record_; }
  //! Replaces the whole record (start-up load), the loaded flag included.
  void set_record(const DailyActivity& record) { record_ = record; }
  //! Zeroes every value of the record (a new day). The double-click state is kept.
  void reset_day() { record_ = DailyActivity{}; }

  //! Listeners told of every counted press and every travel; not owned.
  void add_listener(ActivityListener& listener) { listeners_.push_back(&listener); }

  //! Counts drained events into `hour`: presses per button, and double clicks where a press hits the
  //! spot of the previous press of the same button within T of the last change of any button. A
  //! completed double click closes the gate, so a triple click is 3 presses and 1 double click.
  void count_events(std::span<const ButtonEvent> events, int hour);

  //! Adds one report's travel to `hour`, dropping the fraction report by report, and tells the listeners.
  void add_travel(double units, int hour);

  std::uint32_t double_click_ms() const { return double_click_ms_; }

 private:
  struct PressState {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int64_t gate = 0;  // > T while the next press may complete a double click
  };

  void count_press(const ButtonEvent& event, int kind, int hour);

  const std::uint32_t double_click_ms_;
  DailyActivity record_;
  PressState press_[kButtonKinds];
  std::vector<ActivityListener*> listeners_;
};

//! The button kind of an event: the first changed bit of right, middle, fourth, fifth; else left.
int event_kind(std::uint8_t changed);

}  // namespace corvane
