#pragma once

#include "base/scheduler.h"

namespace corvane {

// A part of the program that the engine hosts (the heart-rate side, the alert rules, the upload
// trigger): it learns when the program starts and ends and receives the timers it started through the
// engine's scheduler. Everything runs on the engine's thread.
class EngineComponent {
 public:
  virtual ~EngineComponent() = default;

  //! The engine has loaded today's counters and started its own timers.
  virtual void on_start() {}

  //! A timer fired that the engine does not handle itself. Returns true when it was this component's.
  virtual bool on_timer(TimerId id) = 0;

  //! The program is ending: stop timers, flush what must be kept. Runs after the last drain and before
  //! the final save of the day counters.
  virtual void on_exit() {}

  //! Blocks until work the component runs on threads of its own has ended and been taken up (a
  //! virtual-time replay calls this after every step).
  virtual void wait_for_background_work() {}
};

}  // namespace corvane
