#pragma once

#include <cstdint>
#include <span>

#include "base/daily_activity.h"

namespace corvane {

// What the report decoder hands on besides button events and travel.
class SensorListener {
 public:
  virtual ~SensorListener() = default;
  //! A 12-byte sample block of a sensor report (byte 0 is not read).
  virtual void take_sample_block(std::span<const std::uint8_t, 12> block) = 0;
  //! The mouse asked for the heart-rate page to be brought up.
  virtual void show_heart_page() = 0;
};

// What the activity counters tell the alert rules.
class ActivityListener {
 public:
  virtual ~ActivityListener() = default;
  //! Called after each counted press, on the engine's thread.
  virtual void on_click(ButtonKind kind) = 0;
  //! Called with the travel of one relative motion report, in mouse units.
  virtual void on_travel(double units) = 0;
};

}  // namespace corvane
