#pragma once

#include <cstdint>

namespace corvane {

// The periodic work of the program. The ids are the window-timer ids of the page that would own the
// timer on the desktop; the engine owns them all, so each needs its own name here.
enum class TimerId : int {
  StatusDrain,   // status page timer 1: drain the button events, every 800 ms
  HeartAlert,    // heart page timer 1: one shot 100 ms after a result, for the heart-rate alert
  HeartReceive,  // heart page timer 3: the receive countdown, every 100 ms
  Upload,        // history page timer 3: the hourly upload trigger
  Reminder,      // history page timer 4: measurement reminders, every 2000 ms
  RestAlert,     // history page timer 5: shows a pending rest alert, every 100 ms
  MainWindow10,  // main window timer 10
  MainWindow20,  // main window timer 20
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
