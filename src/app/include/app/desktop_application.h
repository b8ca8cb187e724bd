#pragma once

#include <QString>

#include "engine/command_line.h"

namespace corvane {

// The desktop program: the shared start-up (data folder, the claim on it, the capture), then the
// fonts, the engine with its Qt scheduler and message boxes, the main window, and the input (devices, a
// capture in real time, or the built-in demo capture). A /close from another start ends it through the
// same exit path as the tray's Quit. Returns the process's exit status (see ExitStatus).
class DesktopApplication final {
 public:
  static int run(int& argc, char** argv, const CommandLine& options);

  //! Registers the program's artwork, font and demo capture with Qt's resource system (the program
  //! does this in run(); tests that draw the window call it themselves).
  static void init_resources();

  //! The Qt resource holding the demo capture.
  static QString demo_capture_path();
};

}  // namespace corvane
