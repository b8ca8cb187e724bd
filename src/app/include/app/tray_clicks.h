#pragma once

#include <functional>

#include "base/scheduler.h"

namespace corvane {

// The tray icon's click sequence. A release starts the menu delay (500 ms after a left release, 10 ms after a
// right one) only when an earlier release was seen; the timer opens the tray menu. A left double click
// cancels the pending menu and restores the window. So the first release after start-up, and the
// release that ends a double click, open no menu.
class TrayClicks final {
 public:
  static constexpr std::uint32_t kLeftMenuDelayMs = 500;
  static constexpr std::uint32_t kRightMenuDelayMs = 10;

  TrayClicks(Scheduler& scheduler, std::function<void()> restore_window)
      : scheduler_(scheduler), restore_window_(std::move(restore_window)) {}

  void on_left_release();
  void on_left_double_click();
  void on_right_release();

  //! The menu delay ran out: stops it; the caller then opens the menu.
  void on_menu_timer() { scheduler_.stop_timer(TimerId::TrayMenuDelay); }

  bool click_flag() const { return click_flag_; }

 private:
  void release(std::uint32_t delay_ms);

  Scheduler& scheduler_;
  std::function<void()> restore_window_;
  bool click_flag_ = false;
};

}  // namespace corvane
