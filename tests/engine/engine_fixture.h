#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "activitylog/day_file.h"
#include "engine/engine.h"
#include "platform/file_read.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"

namespace corvane::testing {

inline constexpr const char* kSensorMouse = R"(\\?\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c})";
inline constexpr const char* kOtherMouse = R"(\\?\HID#VID_046D&PID_C077#7&1a2b3c4d&0&0000#{378de44c})";

// An engine over a temporary data folder, virtual time and a recording notifier. The tests fire the
// engine's timers by hand.
class EngineTest : public ::testing::Test {
 protected:
  void make_engine(const LocalDateTime& start) {
    clock = FakeClock(start);
    engine = std::make_unique<Engine>(EngineConfig{folder.path(), 500}, clock, time, notifier);
  }
  void start_at(const LocalDateTime& start) {
    make_engine(start);
    engine->start();
  }

  // Moves the wall clock (and the tick count along with it) to a local time.
  void at(const LocalDateTime& t) {
    const std::int64_t delta = to_local_timestamp(t) - to_local_timestamp(clock.local_now());
    clock.advance_ms(delta * 1000 - clock.local_now().millisecond + t.millisecond);
  }

  void report(std::uint16_t flags, int dx = 0, int dy = 0, int x = 100, int y = 100,
              const char* name = kSensorMouse) {
    MouseReport r;
    r.device_name = name;
    r.button_flags = flags;
    r.dx = dx;
    r.dy = dy;
    r.cursor_x = x;
    r.cursor_y = y;
    engine->on_mouse_report(r);
  }
  void click(std::uint16_t down, std::uint16_t up, int x = 100, int y = 100) {
    report(down, 0, 0, x, y);
    clock.advance_ms(50);
    report(up, 0, 0, x, y);
  }
  void move(int dx, int dy) { report(0, dx, dy); }

  // The day file of a date as the disk has it now (after any running save), or nothing.
  std::optional<DailyActivity> day_on_disk(int year, int month, int day) {
    engine->wait_for_background_work();
    const auto text = read_whole_file(folder.path() / day_file_name(year, month, day));
    if (!text) return std::nullopt;
    const DayParse parsed = parse_day(*text);
    EXPECT_FALSE(parsed.damage) << *text;
    return parsed.record;
  }

  TempFolder folder;
  VirtualTime time;
  FakeClock& clock = time.clock;
  RecordingNotifier notifier;
  std::unique_ptr<Engine> engine;
};

inline LocalDateTime local(int year, int month, int day, int hour, int minute, int second = 0, int ms = 0) {
  LocalDateTime t = from_local_timestamp(to_local_timestamp(year, month, day, hour, minute, second));
  t.millisecond = ms;
  return t;
}

}  // namespace corvane::testing
