#pragma once

#include <QString>

#include "engine/command_line.h"

namespace corvane {

// The desktop program's start-up: single instance per data folder ("/close" ends the running one),
// the fonts, the engine with its Qt scheduler and message boxes, the main window, and the input
// (devices, a capture in real time, or the built-in demo capture). Returns the process's exit status:
// 0 after a clean end, 1 when the final save of the day failed, 2 for an unusable start.
class DesktopApplication final {
 public:
  struct Start {
    CommandLine options;
    bool demo = false;
    QString screenshots;  // a folder: take the screenshot tour into it, then end
    int screenshot_delay_ms = 3000;
  };

  static int run(int& argc, char** argv, const Start& start);

  //! Registers the program's artwork, font and demo capture with Qt's resource system (the program
  //! does this in run(); tests that draw the window call it themselves).
  static void init_resources();

  //! The Qt resource holding the demo capture.
  static QString demo_capture_path();
};

}  // namespace corvane
