#pragma once

#include <linux/input.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/reports.h"

namespace corvane {

// The cursor position a report carries. Linux gives a program no cursor to ask for (a Wayland client
// sees none outside its windows), so the layer keeps a virtual one: relative motion moves it 1:1 in
// mouse units without acceleration, clamped to a virtual screen; absolute motion places it at the same
// fraction of that screen. Only the double-click rule's neighbourhood and the event records read it.
struct VirtualScreen {
  std::int32_t width = 1920;
  std::int32_t height = 1080;
};

// Turns the evdev events of one pointing device into mouse reports in the Windows raw-input encoding:
// one report per SYN_REPORT group that carries a button change, motion or wheel movement.
class EvdevTranslator final {
 public:
  EvdevTranslator(std::string device_name, VirtualScreen screen = {});

  //! Range of an absolute axis (ABS_X or ABS_Y), from the device's absinfo.
  void set_absolute_range(std::uint16_t axis, std::int32_t minimum, std::int32_t maximum);

  //! Feeds one event; returns the report a SYN_REPORT completes.
  std::optional<MouseReport> feed(const input_event& event);

  //! Forgets the group in progress: after SYN_DROPPED its events are incomplete.
  void drop_group();

  std::int32_t cursor_x() const { return cursor_x_; }
  std::int32_t cursor_y() const { return cursor_y_; }

 private:
  struct AxisRange {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
  };

  // 0..65535 across the axis range, as Windows reports absolute motion.
  static std::int32_t normalized(std::int32_t value, const AxisRange& range);

  std::string device_name_;
  VirtualScreen screen_;
  AxisRange range_x_;
  AxisRange range_y_;
  std::int32_t cursor_x_;
  std::int32_t cursor_y_;
  std::int32_t abs_x_ = 0;  // last absolute position, normalized
  std::int32_t abs_y_ = 0;

  // The group in progress.
  std::uint16_t flags_ = 0;
  std::int32_t dx_ = 0;
  std::int32_t dy_ = 0;
  bool relative_ = false;
  bool absolute_ = false;
};

}  // namespace corvane
