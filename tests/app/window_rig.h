#pragma once

#include <memory>

#include "activitylog/day_file.h"
#include "app/main_window.h"
#include "app/qt_scheduler.h"
#include "engine/composition.h"
#include "support/fake_clock.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"

namespace corvane::testing {

inline constexpr const char* kSensorMouseName =
    R"(\\?\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c})";

// The main window over a real engine: a temporary data folder, a hand-moved clock (10:00 on
// 8 December 2026), Qt timers and a notifier that records. The window is shown.
struct WindowRig {
  explicit WindowRig(bool tray_available = true) : scheduler([this](TimerId id) { dispatch(id); }) {
    parts = make_engine(EngineConfig{folder.path(), 500}, clock, scheduler, notifier);
    engine = parts.engine.get();
    MainWindow::Options options;
    options.tray_available = [tray_available] { return tray_available; };
    options.device_id = QStringLiteral("1234567890123456");
    window = std::make_unique<MainWindow>(parts, scheduler, options);
    engine->add_sensor_listener(*window);
    engine->start();
    window->show();
  }
  ~WindowRig() {
    window.reset();
    engine = nullptr;
    parts = {};
  }

  void dispatch(TimerId id) {
    if (id == TimerId::TrayMenuDelay || id == TimerId::HideOnceShown) {
      if (window) window->on_timer(id);
    } else if (engine) {
      engine->on_timer(id);
    }
  }

  void mouse(std::uint16_t flags, int x = 100, int y = 100) {
    MouseReport r;
    r.device_name = kSensorMouseName;
    r.button_flags = flags;
    r.cursor_x = x;
    r.cursor_y = y;
    engine->on_mouse_report(r);
  }

  //! Today's day file as the loader reads it.
  DailyActivity saved_day() {
    RecordingNotifier quiet;
    return load_day(folder.path(), day_file_name(clock.local_now()), quiet);
  }

  TempFolder folder;
  FakeClock clock;
  RecordingNotifier notifier;
  QtScheduler scheduler;
  EngineParts parts;
  Engine* engine = nullptr;
  std::unique_ptr<MainWindow> window;
};

}  // namespace corvane::testing
