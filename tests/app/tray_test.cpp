// The tray icon's click sequence: which releases open the menu (through the menu delay, 500 ms after a left
// release and 10 ms after a right one), and the double click that restores the window.
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include "app/tray_clicks.h"
#include "support/qt_test_runner.h"
#include "support/virtual_time.h"
#include "window_rig.h"

namespace corvane::testing {
namespace {

// What the sequence asks of the menu delay: its period, 0 while it does not run.
struct MenuDelay {
  VirtualTime time;
  operator Scheduler&() { return time; }
  int period() const { return static_cast<int>(time.period_ms(TimerId::TrayMenuDelay)); }
};

}  // namespace

class TrayClicksTest final : public QtTestGroup<TrayClicksTest> {
  Q_OBJECT
 private slots:
  void first_left_release_opens_no_menu() {
    MenuDelay timer;
    int restored = 0;
    TrayClicks clicks(timer, [&] { ++restored; });
    clicks.on_left_release();
    QCOMPARE(timer.period(), 0);
    QVERIFY(clicks.click_flag());
  }

  void second_left_release_opens_menu_after_500_ms() {
    MenuDelay timer;
    TrayClicks clicks(timer, {});
    clicks.on_left_release();
    clicks.on_left_release();
    QCOMPARE(timer.period(), 500);
  }

  void first_right_release_opens_no_menu_then_10_ms() {
    MenuDelay timer;
    TrayClicks clicks(timer, {});
    clicks.on_right_release();
    QCOMPARE(timer.period(), 0);
    clicks.on_right_release();
    QCOMPARE(timer.period(), 10);
  }

  void double_click_cancels_menu_restores_and_its_release_opens_nothing() {
    MenuDelay timer;
    int restored = 0;
    TrayClicks clicks(timer, [&] { ++restored; });
    clicks.on_left_release();  // earlier click: flag set
    clicks.on_left_release();  // first release of the double click: menu pending
    QCOMPARE(timer.period(), 500);
    clicks.on_left_double_click();
    QCOMPARE(timer.period(), 0);
    QCOMPARE(restored, 1);
    QVERIFY(!clicks.click_flag());
    clicks.on_left_release();  // the release that ends the double click
    QCOMPARE(timer.period(), 0);
    clicks.on_left_release();  // a later click opens the menu again
    QCOMPARE(timer.period(), 500);
  }

  void release_after_pending_menu_restarts_timer() {
    MenuDelay timer;
    TrayClicks clicks(timer, {});
    clicks.on_left_release();
    clicks.on_left_release();
    clicks.on_right_release();
    QCOMPARE(timer.period(), 10);
  }

  // The window's tray, driven through QSystemTrayIcon's own signal.
  void tray_double_click_restores_hidden_window() {
    WindowRig rig(true);
    rig.window->press(WindowButton::Hide);
    QVERIFY(!rig.window->isVisible());
    QVERIFY(rig.window->tray_icon());
    emit rig.window->tray_icon()->activated(QSystemTrayIcon::Trigger);
    emit rig.window->tray_icon()->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(rig.window->isVisible());
    QVERIFY(!rig.scheduler.running(TimerId::TrayMenuDelay));
  }

  void tray_trigger_sequence_starts_menu_delay_on_second_click() {
    WindowRig rig(true);
    emit rig.window->tray_icon()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(!rig.scheduler.running(TimerId::TrayMenuDelay));
    emit rig.window->tray_icon()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(rig.scheduler.running(TimerId::TrayMenuDelay));
    QCOMPARE(rig.scheduler.period_ms(TimerId::TrayMenuDelay), 500);
    emit rig.window->tray_icon()->activated(QSystemTrayIcon::Context);
    QCOMPARE(rig.scheduler.period_ms(TimerId::TrayMenuDelay), 10);
    // The timer fires once: it stops itself and the menu opens.
    rig.window->on_timer(TimerId::TrayMenuDelay);
    QVERIFY(!rig.scheduler.running(TimerId::TrayMenuDelay));
    QVERIFY(rig.window->tray_menu()->isVisible());
    rig.window->tray_menu()->hide();
  }

  void tray_menu_holds_open_separator_quit() {
    WindowRig rig(true);
    QStringList items;
    for (QAction* a : rig.window->tray_menu()->actions())
      items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(items.front(), QStringLiteral("Open Application"));
    QCOMPARE(items.back(), QStringLiteral("Quit"));
    QCOMPARE(items.at(items.size() - 2), QStringLiteral("-"));
    QCOMPARE(rig.window->tray_icon()->toolTip(), QStringLiteral("TOVAK Corvane"));
  }

  void open_application_restores_hidden_window() {
    WindowRig rig(true);
    rig.window->press(WindowButton::Hide);
    rig.window->tray_menu()->actions().front()->trigger();
    QVERIFY(rig.window->isVisible());
  }
};

}  // namespace corvane::testing

#include "tray_test.moc"
