#pragma once

#include <cstdint>

namespace corvane {

// The periodic work of the program, one name for each timer. The engine owns all but the last two, which
// belong to the desktop's main window.
enum class TimerId : int {
  StatusDrain,    // counts the queued button events, every 800 ms
  HeartAlert,     // one shot 100 ms after a result: checks the heart-rate alert
  HeartReceive,   // the measurement's receive countdown, every 100 ms
  Upload,         // the hourly upload trigger
  Reminder,       // measurement reminders, every 2000 ms
  RestAlert,      // shows a pending rest alert, every 100 ms
  TrayMenuDelay,  // opens the tray menu once a click on the tray icon proved not to be a double click
  HideOnceShown,  // a start with /hide puts the window away as soon as it has been shown
};

// Starts and stops periodic timers, as window timers do: starting a running timer restarts it with the
// new period; a timer fires every period until stopped (a one-shot stops itself when it fires).
class Scheduler {
 public:
  virtual ~Scheduler() = default;
  virtual void start_timer(TimerId id, std::uint32_t period_ms) = 0;
  virtual void stop_timer(TimerId id) = 0;
};

}  // namespace corvane
