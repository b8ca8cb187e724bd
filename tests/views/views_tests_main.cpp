// The QtTest groups of the pages, drawn with the desktop's default face.
#include "support/qt_test_runner.h"
#include "views/font_table.h"

int main(int argc, char** argv) {
  return corvane::testing::run_qt_test_groups(argc, argv,
                                              [] { corvane::ui_fonts().set(corvane::choose_fonts({}, {})); });
}
