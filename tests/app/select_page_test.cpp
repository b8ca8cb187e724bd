// Select-page for every argument, from the main menu and from a page: which pages and drawn buttons
// are visible, where the tab buttons stand, which page is current; and clicks on the drawn buttons.
#include <QTest>

#include "app/main_layout.h"
#include "support/qt_test_runner.h"
#include "views/heart_dlg.h"
#include "window_rig.h"

namespace corvane::testing {

class SelectPageTest final : public QtTestGroup<SelectPageTest> {
  Q_OBJECT

  // Bit p set: page p visible.
  static int visible_pages(const CCorvaneDlg& w) {
    int mask = 0;
    for (int p = 0; p < 3; ++p)
      if (w.page(p)->isVisible()) mask |= 1 << p;
    return mask;
  }

 private slots:
  void start_shows_main_menu_with_pages_hidden() {
    WindowRig rig;
    const MainLayout& l = rig.window->layout();
    QVERIFY(l.in_main_menu());
    for (int n : {3, 4, 5, 7, 8})
      QVERIFY(l.button(n).visible);
    for (int n : {0, 1, 2, 6})
      QVERIFY(!l.button(n).visible);
    QCOMPARE(visible_pages(*rig.window), 0);
    QCOMPARE(rig.window->size(), QSize(1010, 680));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("TOVAK Corvane (ID: 1234567890123456)"));
    for (int p = 0; p < 3; ++p)
      QCOMPARE(rig.window->page(p)->geometry(), kPageArea);
  }

  void select_from_state_data() {
    QTest::addColumn<bool>("from_page");  // false: from the main menu; true: from page 2 (history)
    QTest::addColumn<int>("argument");
    QTest::addColumn<int>("pages");  // visible-page mask afterwards
    QTest::addColumn<bool>("menu");  // tiles visible afterwards
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("window_shown");
    QTest::addColumn<bool>("minimised");
    // From the main menu.
    QTest::newRow("menu x 0") << false << 0 << 0b001 << true << 0 << true << false;
    QTest::newRow("menu x 1") << false << 1 << 0b010 << true << 1 << true << false;
    QTest::newRow("menu x 2") << false << 2 << 0b100 << true << 2 << true << false;
    QTest::newRow("menu x 3") << false << 3 << 0b001 << false << 0 << true << false;
    QTest::newRow("menu x 4") << false << 4 << 0b010 << false << 1 << true << false;
    QTest::newRow("menu x 5") << false << 5 << 0b100 << false << 2 << true << false;
    QTest::newRow("menu x 6") << false << 6 << 0b000 << true << 0 << true << false;
    QTest::newRow("menu x 7") << false << 7 << 0b000 << true << 0 << false << false;
    QTest::newRow("menu x 8") << false << 8 << 0b000 << true << 0 << true << true;
    // From the history page, reached through its tile.
    QTest::newRow("page x 0") << true << 0 << 0b001 << false << 0 << true << false;
    QTest::newRow("page x 1") << true << 1 << 0b010 << false << 1 << true << false;
    QTest::newRow("page x 2") << true << 2 << 0b100 << false << 2 << true << false;
    QTest::newRow("page x 3") << true << 3 << 0b001 << false << 0 << true << false;
    QTest::newRow("page x 4") << true << 4 << 0b010 << false << 1 << true << false;
    QTest::newRow("page x 5") << true << 5 << 0b100 << false << 2 << true << false;
    QTest::newRow("page x 6") << true << 6 << 0b000 << true << 0 << true << false;
    QTest::newRow("page x 7") << true << 7 << 0b100 << false << 2 << false << false;
    QTest::newRow("page x 8") << true << 8 << 0b100 << false << 2 << true << true;
  }
  void select_from_state() {
    QFETCH(bool, from_page);
    QFETCH(int, argument);
    QFETCH(int, pages);
    QFETCH(bool, menu);
    QFETCH(int, current);
    QFETCH(bool, window_shown);
    QFETCH(bool, minimised);
    WindowRig rig;
    CCorvaneDlg& w = *rig.window;
    if (from_page) w.select_page(5);

    w.select_page(argument);

    QCOMPARE(w.isVisible(), window_shown);
    QCOMPARE(w.isMinimized(), minimised);
    // A hidden window hides its pages along with it; what counts is what they will show.
    int mask = 0;
    for (int p = 0; p < 3; ++p)
      if (!w.page(p)->isHidden()) mask |= 1 << p;
    QCOMPARE(mask, pages);
    const MainLayout& l = w.layout();
    QCOMPARE(l.in_main_menu(), menu);
    for (int n : {3, 4, 5})
      QCOMPARE(l.button(n).visible, menu);
    for (int n : {0, 1, 2, 6})
      QCOMPARE(l.button(n).visible, !menu);
    QCOMPARE(l.current_page(), current);
    // The current page's tab button stands at the tab-button top, the two others 8 pixels lower; all
    // end at the page area's top.
    const int top = kPageArea.top() - 80;
    for (int n = 0; n < 3; ++n) {
      QCOMPARE(l.button(n).rect.top(), n == current ? top : top + 8);
      QCOMPARE(l.button(n).rect.bottom(), kPageArea.top() - 1);
    }
  }

  void drawn_buttons_lie_where_the_table_puts_them() {
    const MainLayout l(QPoint(100, 200));
    QCOMPARE(l.button(0).rect, QRect(96, 120, 260, 80));
    QCOMPARE(l.button(1).rect.left(), 356);
    QCOMPARE(l.button(2).rect.left(), 616);
    QCOMPARE(l.button(1).rect.top(), 128);  // not current: 8 lower
    QCOMPARE(l.button(3).rect, QRect(25, 100, 318, 418));
    QCOMPARE(l.button(4).rect, QRect(343, 100, 318, 418));
    QCOMPARE(l.button(5).rect, QRect(661, 100, 318, 418));
    QCOMPARE(l.button(6).rect, QRect(830, 0, 150, 40));
    QCOMPARE(l.button(7).rect, QRect(970, 4, 32, 32));
    QCOMPARE(l.button(8).rect, QRect(930, 4, 32, 32));
    QCOMPARE(l.button(6).label, QStringLiteral("メインメニュー"));
  }

  void click_on_tile_opens_its_page() {
    WindowRig rig;
    QTest::mouseClick(rig.window.get(), Qt::LeftButton, {}, QPoint(500, 300));  // the heart tile
    QCOMPARE(rig.window->layout().current_page(), 1);
    QCOMPARE(visible_pages(*rig.window), 0b010);
    QVERIFY(!rig.window->layout().in_main_menu());
  }

  void click_on_tab_button_then_main_menu() {
    WindowRig rig;
    rig.window->select_page(3);
    QTest::mouseClick(rig.window.get(), Qt::LeftButton, {}, rig.window->layout().button(2).rect.center());
    QCOMPARE(visible_pages(*rig.window), 0b100);
    QTest::mouseClick(rig.window.get(), Qt::LeftButton, {}, QPoint(860, 20));  // "メインメニュー"
    QVERIFY(rig.window->layout().in_main_menu());
    QCOMPARE(visible_pages(*rig.window), 0);
  }

  void click_where_no_button_is_changes_nothing() {
    WindowRig rig;
    QTest::mouseClick(rig.window.get(), Qt::LeftButton, {}, QPoint(500, 600));
    QVERIFY(rig.window->layout().in_main_menu());
    // A hidden tab button cannot be hit in the main menu.
    QCOMPARE(rig.window->layout().hit_test(QPoint(100, 60)), -1);
  }

  void click_on_marks_overlapping_main_menu_button_hits_the_marks() {
    MainLayout l;
    l.select_page(3);
    QCOMPARE(l.hit_test(QPoint(945, 20)), kMinimiseButton);
    QCOMPARE(l.hit_test(QPoint(975, 20)), kHideButton);
    QCOMPARE(l.hit_test(QPoint(850, 20)), kMainMenuButton);
  }

  void heart_page_request_while_hidden_shows_heart_page() {
    WindowRig rig;
    rig.window->select_page(7);
    QVERIFY(!rig.window->isVisible());
    HidReport report;  // 16-byte layout, report ID 1, code 0x0E: bring up the heart-rate page
    report.device_name = kSensorMouseName;
    report.bytes.assign(16, 0);
    report.bytes[0] = 0x01;
    report.bytes[1] = 0x0E;
    rig.engine->on_hid_report(report);
    QVERIFY(rig.window->isVisible());
    QVERIFY(!rig.window->isMinimized());
    QCOMPARE(rig.window->layout().current_page(), 1);
    QVERIFY(rig.window->heart_page()->isVisible());
    QVERIFY(!rig.window->layout().in_main_menu());
  }
};

}  // namespace corvane::testing

#include "select_page_test.moc"
