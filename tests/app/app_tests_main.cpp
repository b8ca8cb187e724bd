// The QtTest groups of the desktop program: the main window drawn with the program's own artwork and
// font, on Qt's offscreen platform.
#include <QApplication>

#include "app/desktop_application.h"
#include "support/qt_test_runner.h"
#include "views/font_table.h"

int main(int argc, char** argv) {
  return corvane::testing::run_qt_test_groups(argc, argv, [] {
    QApplication::setQuitOnLastWindowClosed(false);  // as in the program: it lives on in the tray
    corvane::DesktopApplication::init_resources();
    corvane::ui_fonts().set(corvane::FontChoice{});
  });
}
