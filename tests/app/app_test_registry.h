#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace corvane::testing {

// The QtTest classes of one test program, by name; the program's main runs one (named on its command
// line) or all, so that CTest lists each group on its own.
using AppTestFactory = std::function<std::unique_ptr<QObject>()>;
std::map<std::string, AppTestFactory>& app_test_registry();

}  // namespace corvane::testing

#define CORVANE_APP_TEST(Class)                                                                 \
  static const bool corvane_registered_##Class = [] {                                           \
    ::corvane::testing::app_test_registry()[#Class] = [] { return std::make_unique<Class>(); }; \
    return true;                                                                                \
  }()
