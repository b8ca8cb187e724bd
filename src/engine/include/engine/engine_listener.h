#pragma once

#include <algorithm>
#include <vector>

#include "engine/local_date.h"

namespace corvane {

// What the program announces as it happens, to any number of listeners: the pages, the tray, tests.
// Every call comes on the engine's thread. Override what you need.
class EngineListener {
 public:
  virtual ~EngineListener() = default;
  //! The live counters changed (queued presses were counted, the cursor travelled).
  virtual void on_counters_changed() {}
  //! A new calendar day began: `finished` is saved, the live counters now count `started`.
  virtual void on_day_started(const LocalDate& /*finished*/, const LocalDate& /*started*/) {}
  //! The heart side changed: a sample block arrived, the mouse stopped sending, a result was fixed.
  virtual void on_heart_changed() {}
  //! An upload started or ended.
  virtual void on_upload_state_changed() {}
};

// The engine's listeners. A listener may remove itself, or another one, while being told something.
class EngineListeners final {
 public:
  void add(EngineListener& listener) { listeners_.push_back(&listener); }
  void remove(EngineListener& listener) { std::erase(listeners_, &listener); }

  //! Calls `event(listener)` for every listener, in the order they were added.
  template <typename Event>
  void announce(Event&& event) const {
    const std::vector<EngineListener*> now = listeners_;
    for (EngineListener* listener : now)
      if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) event(*listener);
  }

 private:
  std::vector<EngineListener*> listeners_;
};

}  // namespace corvane
