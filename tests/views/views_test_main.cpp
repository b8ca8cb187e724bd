// Runs the page tests under QtTest: `views_tests <TestClass> [QtTest options]` runs one class (as CTest
// does, one test per class); without a class name every class runs.
#include <QApplication>
#include <QTest>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "views/font_table.h"
#include "views/page_tests.h"
#include "views/ui_texts.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  corvane::ui_fonts().set(corvane::choose_fonts({}, {}));

  const std::map<std::string, std::function<std::unique_ptr<QObject>()>> classes = {
      {"StatusPageTest", [] { return corvane::make_status_page_test(); }},
      {"HeartPageTest", [] { return corvane::make_heart_page_test(); }},
      {"OptionDlgTest", [] { return corvane::make_option_dlg_test(); }},
      {"HistoryPageTest", [] { return corvane::make_history_page_test(); }},
  };
  int status = 0;
  if (argc > 1 && classes.count(argv[1])) {
    // The class name is ours, not QtTest's: pass the rest on.
    std::unique_ptr<QObject> test = classes.at(argv[1])();
    argv[1] = argv[0];
    return QTest::qExec(test.get(), argc - 1, argv + 1);
  }
  for (const auto& [name, make] : classes) {
    std::unique_ptr<QObject> test = make();
    status |= QTest::qExec(test.get(), argc, argv);
  }
  return status;
}
