// Closing, hiding and ending: Escape does nothing, close asks and "No" puts the window away (into the
// tray, or minimised where there is none), and every path that ends the program saves the day with the
// clicks still queued.
#include <QSignalSpy>
#include <QTest>

#include "base/daily_activity.h"
#include "base/reports.h"
#include "support/qt_test_runner.h"
#include "window_rig.h"

namespace corvane::testing {

class ExitPathsTest final : public QtTestGroup<ExitPathsTest> {
  Q_OBJECT

  // Two left clicks and a right click, still in the event queue (no drain has run).
  static void click_three_times(WindowRig& rig) {
    rig.mouse(button_flags::kLeftDown, 10, 10);
    rig.mouse(button_flags::kLeftUp, 10, 10);
    rig.mouse(button_flags::kLeftDown, 50, 50);
    rig.mouse(button_flags::kLeftUp, 50, 50);
    rig.mouse(button_flags::kRightDown, 90, 90);
    rig.mouse(button_flags::kRightUp, 90, 90);
  }

  static void expect_three_clicks_saved(WindowRig& rig) {
    const DailyActivity day = rig.saved_day();
    QCOMPARE(day.loaded, 1u);
    QCOMPARE(day.clicks[0][10], 2u);
    QCOMPARE(day.clicks[1][10], 1u);
  }

 private slots:
  void escape_while_shown_does_nothing() {
    WindowRig rig;
    int asked = 0;
    rig.window->ask_quit = [&] { return ++asked, true; };
    QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    QVERIFY(rig.window->isVisible());
    QCOMPARE(asked, 0);
    QVERIFY(!rig.window->exit_requested());
  }

  void close_answered_no_with_tray_hides() {
    WindowRig rig(true);
    rig.window->ask_quit = [] { return false; };
    rig.window->close();
    QVERIFY(!rig.window->isVisible());
    QVERIFY(!rig.window->exit_done());
    QVERIFY(!rig.engine->shut_down());
  }

  void close_answered_no_without_tray_minimises() {
    WindowRig rig(false);
    rig.window->ask_quit = [] { return false; };
    rig.window->close();
    QVERIFY(rig.window->isVisible());
    QVERIFY(rig.window->isMinimized());
    QVERIFY(!rig.window->exit_done());
  }

  void hide_button_without_tray_minimises() {
    WindowRig rig(false);
    rig.window->press(WindowButton::Hide);
    QVERIFY(rig.window->isVisible());
    QVERIFY(rig.window->isMinimized());
  }

  void close_answered_yes_saves_queued_clicks_and_finishes() {
    WindowRig rig;
    QSignalSpy finished(rig.window.get(), &MainWindow::exit_finished);
    rig.window->ask_quit = [] { return true; };
    click_three_times(rig);
    rig.window->close();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.front().at(0).toBool(), true);
    QVERIFY(rig.window->exit_done());
    expect_three_clicks_saved(rig);
  }

  void quit_from_tray_saves_without_asking() {
    WindowRig rig;
    QSignalSpy finished(rig.window.get(), &MainWindow::exit_finished);
    int asked = 0;
    rig.window->ask_quit = [&] { return ++asked, false; };
    click_three_times(rig);
    rig.window->quit_from_tray();
    QCOMPARE(asked, 0);
    QCOMPARE(finished.count(), 1);
    expect_three_clicks_saved(rig);
    QVERIFY(!rig.window->isVisible());
  }

  void exit_from_outside_while_hidden_saves_without_asking() {
    WindowRig rig;
    int asked = 0;
    rig.window->ask_quit = [&] { return ++asked, false; };
    rig.window->press(WindowButton::Hide);
    click_three_times(rig);
    QSignalSpy finished(rig.window.get(), &MainWindow::exit_finished);
    rig.window->exit_from_outside();
    QCOMPARE(asked, 0);
    QCOMPARE(finished.count(), 1);
    expect_three_clicks_saved(rig);
  }

  void exit_from_outside_while_question_open_ends_once_without_hiding() {
    WindowRig rig;
    QSignalSpy finished(rig.window.get(), &MainWindow::exit_finished);
    click_three_times(rig);
    rig.window->ask_quit = [&] {
      rig.window->exit_from_outside();  // arrives while the box waits for an answer
      return false;
    };
    rig.window->close();
    QCOMPARE(finished.count(), 1);
    expect_three_clicks_saved(rig);
    QVERIFY(!rig.window->isVisible());
  }

  void second_exit_request_saves_once() {
    WindowRig rig;
    QSignalSpy finished(rig.window.get(), &MainWindow::exit_finished);
    rig.window->quit_from_tray();
    rig.window->exit_from_outside();
    rig.window->quit_from_tray();
    QCOMPARE(finished.count(), 1);
  }

  void hide_flag_puts_window_away_once_it_shows() {
    TempFolder folder;
    FakeClock clock;
    RecordingNotifier notifier;
    std::unique_ptr<MainWindow> window;
    QtScheduler scheduler([&](TimerId id) {
      if (window) window->on_timer(id);
    });
    const EngineParts parts = make_engine(EngineConfig{folder.path(), 500}, clock, scheduler, notifier);
    MainWindow::Options options;
    options.start_hidden = true;
    options.tray_available = [] { return true; };
    window = std::make_unique<MainWindow>(parts, scheduler, options);
    QVERIFY(scheduler.running(TimerId::HideOnceShown));
    QCOMPARE(scheduler.period_ms(TimerId::HideOnceShown), 2);
    window->on_timer(TimerId::HideOnceShown);  // not shown yet: keeps waiting
    QVERIFY(scheduler.running(TimerId::HideOnceShown));
    window->show();
    window->on_timer(TimerId::HideOnceShown);
    QVERIFY(!window->isVisible());
    QVERIFY(!scheduler.running(TimerId::HideOnceShown));
    window.reset();
  }
};

}  // namespace corvane::testing

#include "exit_paths_test.moc"
