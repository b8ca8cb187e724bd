// Runs the QtTest classes of this program: `--group NAME` picks one; without it all run. Any other
// arguments go to QtTest.
#include <QApplication>
#include <QTest>
#include <iostream>
#include <vector>

#include "app/corvane_app.h"
#include "app_test_registry.h"
#include "views/font_table.h"

namespace corvane::testing {
std::map<std::string, AppTestFactory>& app_test_registry() {
  static std::map<std::string, AppTestFactory> registry;
  return registry;
}
}  // namespace corvane::testing

int main(int argc, char** argv) {
  std::string group;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::string(argv[i]) == "--group" && i + 1 < argc) {
      group = argv[++i];
    } else {
      args.push_back(argv[i]);
    }
  }
  int qt_argc = static_cast<int>(args.size());
  QApplication app(qt_argc, args.data());
  QApplication::setQuitOnLastWindowClosed(false);
  corvane::CCorvaneApp::init_resources();
  corvane::ui_fonts().set(corvane::FontChoice{});

  auto& registry = corvane::testing::app_test_registry();
  if (!group.empty() && !registry.count(group)) {
    std::cerr << "no test group " << group << '\n';
    return 2;
  }
  int failed = 0;
  for (auto& [name, make] : registry) {
    if (!group.empty() && name != group) continue;
    std::unique_ptr<QObject> test = make();
    failed += QTest::qExec(test.get(), qt_argc, args.data()) != 0 ? 1 : 0;
  }
  return failed == 0 ? 0 : 1;
}
