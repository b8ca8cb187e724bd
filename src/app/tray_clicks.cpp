#include "app/tray_clicks.h"

namespace corvane {

void TrayClicks::release(std::uint32_t delay_ms) {
  scheduler_.stop_timer(TimerId::TrayMenuDelay);
  if (click_flag_) scheduler_.start_timer(TimerId::TrayMenuDelay, delay_ms);
  click_flag_ = true;
}

void TrayClicks::on_left_release() {
  release(kLeftMenuDelayMs);
}

void TrayClicks::on_right_release() {
  release(kRightMenuDelayMs);
}

void TrayClicks::on_left_double_click() {
  scheduler_.stop_timer(TimerId::TrayMenuDelay);
  if (restore_window_) restore_window_();
  click_flag_ = false;
}

}  // namespace corvane
