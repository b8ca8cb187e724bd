#include "support/qt_test_runner.h"

#include <QApplication>
#include <QTest>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace corvane::testing {
namespace {

std::map<std::string, QtTestFactory>& groups() {
  static std::map<std::string, QtTestFactory> by_name;
  return by_name;
}

// A group is known by its class name without the namespaces.
std::string group_name(const QMetaObject* meta) {
  const std::string qualified = meta->className();
  const std::size_t colon = qualified.rfind(':');
  return colon == std::string::npos ? qualified : qualified.substr(colon + 1);
}

}  // namespace

bool register_qt_test_group(const QMetaObject* meta, QtTestFactory make) {
  const std::string name = group_name(meta);
  if (!groups().emplace(name, std::move(make)).second) {
    // Two classes of one program with one name: CTest could run only one of them.
    std::cerr << "two QtTest groups are named " << name << '\n';
    std::abort();
  }
  return true;
}

int run_qt_test_groups(int argc, char** argv, const std::function<void()>& prepare) {
  std::string only;
  std::vector<char*> qt_args;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--list-groups") {
      for (const auto& entry : groups())
        std::cout << entry.first << '\n';
      return groups().empty() ? 1 : 0;
    }
    if (arg == "--group" && i + 1 < argc) {
      only = argv[++i];
    } else {
      qt_args.push_back(argv[i]);
    }
  }
  if (!only.empty() && !groups().count(only)) {
    std::cerr << "no test group " << only << '\n';
    return 2;
  }

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = static_cast<int>(qt_args.size());
  qt_args.push_back(nullptr);
  QApplication app(qt_argc, qt_args.data());
  if (prepare) prepare();

  int failed = 0;
  for (const auto& [name, make] : groups()) {
    if (!only.empty() && name != only) continue;
    const std::unique_ptr<QObject> group = make();
    failed += QTest::qExec(group.get(), qt_argc, qt_args.data()) != 0 ? 1 : 0;
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace corvane::testing
