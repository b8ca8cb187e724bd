#pragma once

#include <QObject>
#include <functional>
#include <memory>

// The QtTest programs of the desktop code (views_tests, corvane_app_tests) are made of groups: QtTest
// classes that CTest runs one at a time. A class becomes a group by deriving from QtTestGroup:
//
//   class ExitPathsTest final : public QtTestGroup<ExitPathsTest> {
//     Q_OBJECT
//    private slots:
//     void close_answered_no_with_tray_hides();
//   };
//
// There is no list of groups to keep: deriving registers the class under its own name, and CTest asks
// the program for its groups (--list-groups) before it runs them.
namespace corvane::testing {

using QtTestFactory = std::function<std::unique_ptr<QObject>()>;

//! Adds a group to the program's groups; `meta` names it. Called once per group before main().
bool register_qt_test_group(const QMetaObject* meta, QtTestFactory make);

template <typename Group>
class QtTestGroup : public QObject {
 protected:
  QtTestGroup() = default;
  // The vtable of every group class refers to its destructor, and through it to this one: naming
  // `registered_` here is what instantiates the registration for each group.
  ~QtTestGroup() override { static_cast<void>(registered_); }

 private:
  static inline const bool registered_ = register_qt_test_group(
      &Group::staticMetaObject, [] { return std::unique_ptr<QObject>(std::make_unique<Group>()); });
};

//! The main() of a QtTest program. Without options every group runs; `--group NAME` runs one;
//! `--list-groups` prints the group names, one a line, without starting Qt. Other arguments go to
//! QtTest. `prepare` runs once the QApplication exists, before any group. Pages draw on Qt's offscreen
//! platform unless QT_QPA_PLATFORM names another.
int run_qt_test_groups(int argc, char** argv, const std::function<void()>& prepare = {});

}  // namespace corvane::testing
