// What each drawn button of the main window does, from the main menu and from a page: which pages and
// buttons are visible, where the tab buttons stand, which page is current; and clicks on the buttons.
#include <QTest>

#include "app/main_layout.h"
#include "support/qt_test_runner.h"
#include "views/heart_rate_page.h"
#include "window_rig.h"

namespace corvane::testing {

class MainWindowButtonsTest final : public QtTestGroup<MainWindowButtonsTest> {
  Q_OBJECT

  static constexpr Page kPages[] = {Page::Status, Page::HeartRate, Page::Export};
  static constexpr int kStatus = 1 << 0, kHeartRate = 1 << 1, kExport = 1 << 2;  // visible-page masks

  static int visible_pages(const MainWindow& w) {
    int mask = 0;
    for (Page p : kPages)
      if (w.page(p)->isVisible()) mask |= 1 << static_cast<int>(p);
    return mask;
  }
  static constexpr WindowButton kTiles[] = {WindowButton::StatusTile, WindowButton::HeartRateTile,
                                            WindowButton::ExportTile};
  static constexpr WindowButton kPageButtons[] = {WindowButton::StatusTab, WindowButton::HeartRateTab,
                                                  WindowButton::ExportTab, WindowButton::MainMenu};
  static constexpr WindowButton kTabs[] = {WindowButton::StatusTab, WindowButton::HeartRateTab,
                                           WindowButton::ExportTab};

 private slots:
  void start_shows_main_menu_with_pages_hidden() {
    WindowRig rig;
    const MainLayout& l = rig.window->layout();
    QVERIFY(l.in_main_menu());
    for (WindowButton b : kTiles)
      QVERIFY(l.button(b).visible);
    QVERIFY(l.button(WindowButton::Hide).visible);
    QVERIFY(l.button(WindowButton::Minimise).visible);
    for (WindowButton b : kPageButtons)
      QVERIFY(!l.button(b).visible);
    QCOMPARE(visible_pages(*rig.window), 0);
    QCOMPARE(rig.window->size(), QSize(1010, 680));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("TOVAK Corvane (ID: 1234567890123456)"));
    for (Page p : kPages)
      QCOMPARE(rig.window->page(p)->geometry(), kPageArea);
  }

  void press_from_state_data() {
    QTest::addColumn<bool>("from_page");  // false: from the main menu; true: from the export page
    QTest::addColumn<WindowButton>("pressed");
    QTest::addColumn<int>("pages");  // visible-page mask afterwards
    QTest::addColumn<bool>("menu");  // tiles visible afterwards
    QTest::addColumn<Page>("current");
    QTest::addColumn<bool>("window_shown");
    QTest::addColumn<bool>("minimised");
    // From the main menu.
    using B = WindowButton;
    QTest::newRow("menu x status tab")
        << false << B::StatusTab << kStatus << true << Page::Status << true << false;
    QTest::newRow("menu x heart-rate tab")
        << false << B::HeartRateTab << kHeartRate << true << Page::HeartRate << true << false;
    QTest::newRow("menu x export tab")
        << false << B::ExportTab << kExport << true << Page::Export << true << false;
    QTest::newRow("menu x status tile")
        << false << B::StatusTile << kStatus << false << Page::Status << true << false;
    QTest::newRow("menu x heart-rate tile")
        << false << B::HeartRateTile << kHeartRate << false << Page::HeartRate << true << false;
    QTest::newRow("menu x export tile")
        << false << B::ExportTile << kExport << false << Page::Export << true << false;
    QTest::newRow("menu x main menu") << false << B::MainMenu << 0 << true << Page::Status << true << false;
    QTest::newRow("menu x hide") << false << B::Hide << 0 << true << Page::Status << false << false;
    QTest::newRow("menu x minimise") << false << B::Minimise << 0 << true << Page::Status << true << true;
    // From the export page, reached through its tile.
    QTest::newRow("page x status tab")
        << true << B::StatusTab << kStatus << false << Page::Status << true << false;
    QTest::newRow("page x heart-rate tab")
        << true << B::HeartRateTab << kHeartRate << false << Page::HeartRate << true << false;
    QTest::newRow("page x export tab")
        << true << B::ExportTab << kExport << false << Page::Export << true << false;
    QTest::newRow("page x status tile")
        << true << B::StatusTile << kStatus << false << Page::Status << true << false;
    QTest::newRow("page x heart-rate tile")
        << true << B::HeartRateTile << kHeartRate << false << Page::HeartRate << true << false;
    QTest::newRow("page x export tile")
        << true << B::ExportTile << kExport << false << Page::Export << true << false;
    QTest::newRow("page x main menu") << true << B::MainMenu << 0 << true << Page::Status << true << false;
    QTest::newRow("page x hide") << true << B::Hide << kExport << false << Page::Export << false << false;
    QTest::newRow("page x minimise") << true << B::Minimise << kExport << false << Page::Export << true
                                     << true;
  }
  void press_from_state() {
    QFETCH(bool, from_page);
    QFETCH(WindowButton, pressed);
    QFETCH(int, pages);
    QFETCH(bool, menu);
    QFETCH(Page, current);
    QFETCH(bool, window_shown);
    QFETCH(bool, minimised);
    WindowRig rig;
    MainWindow& w = *rig.window;
    if (from_page) w.press(WindowButton::ExportTile);

    w.press(pressed);

    QCOMPARE(w.isVisible(), window_shown);
    QCOMPARE(w.isMinimized(), minimised);
    // A hidden window hides its pages along with it; what counts is what they will show.
    int mask = 0;
    for (Page p : kPages)
      if (!w.page(p)->isHidden()) mask |= 1 << static_cast<int>(p);
    QCOMPARE(mask, pages);
    const MainLayout& l = w.layout();
    QCOMPARE(l.in_main_menu(), menu);
    for (WindowButton b : kTiles)
      QCOMPARE(l.button(b).visible, menu);
    for (WindowButton b : kPageButtons)
      QCOMPARE(l.button(b).visible, !menu);
    QCOMPARE(l.current_page(), current);
    // The current page's tab button stands at the tab-button top, the two others 8 pixels lower; all
    // end at the page area's top.
    const int top = kPageArea.top() - 80;
    for (Page p : kPages) {
      QCOMPARE(l.button(tab_of(p)).rect.top(), p == current ? top : top + 8);
      QCOMPARE(l.button(tab_of(p)).rect.bottom(), kPageArea.top() - 1);
    }
  }

  void drawn_buttons_lie_where_the_table_puts_them() {
    const MainLayout l(QPoint(100, 200));
    QCOMPARE(l.button(WindowButton::StatusTab).rect, QRect(96, 120, 260, 80));
    QCOMPARE(l.button(WindowButton::HeartRateTab).rect.left(), 356);
    QCOMPARE(l.button(WindowButton::ExportTab).rect.left(), 616);
    QCOMPARE(l.button(WindowButton::HeartRateTab).rect.top(), 128);  // not current: 8 lower
    QCOMPARE(l.button(WindowButton::StatusTile).rect, QRect(25, 100, 318, 418));
    QCOMPARE(l.button(WindowButton::HeartRateTile).rect, QRect(343, 100, 318, 418));
    QCOMPARE(l.button(WindowButton::ExportTile).rect, QRect(661, 100, 318, 418));
    QCOMPARE(l.button(WindowButton::MainMenu).rect, QRect(830, 0, 150, 40));
    QCOMPARE(l.button(WindowButton::Hide).rect, QRect(970, 4, 32, 32));
    QCOMPARE(l.button(WindowButton::Minimise).rect, QRect(930, 4, 32, 32));
    QCOMPARE(l.button(WindowButton::MainMenu).label, QStringLiteral("メインメニュー"));
  }

  void click_on_tile_opens_its_page() {
    WindowRig rig;
    QTest::mouseClick(rig.window.get(), Qt::LeftButton, {}, QPoint(500, 300));  // the heart tile
    QCOMPARE(rig.window->layout().current_page(), Page::HeartRate);
    QCOMPARE(visible_pages(*rig.window), kHeartRate);
    QVERIFY(!rig.window->layout().in_main_menu());
  }

  void click_on_tab_button_then_main_menu() {
    WindowRig rig;
    rig.window->press(WindowButton::StatusTile);
    QTest::mouseClick(rig.window.get(), Qt::LeftButton, {},
                      rig.window->layout().button(WindowButton::ExportTab).rect.center());
    QCOMPARE(visible_pages(*rig.window), kExport);
    QTest::mouseClick(rig.window.get(), Qt::LeftButton, {}, QPoint(860, 20));  // "メインメニュー"
    QVERIFY(rig.window->layout().in_main_menu());
    QCOMPARE(visible_pages(*rig.window), 0);
  }

  void click_where_no_button_is_changes_nothing() {
    WindowRig rig;
    QTest::mouseClick(rig.window.get(), Qt::LeftButton, {}, QPoint(500, 600));
    QVERIFY(rig.window->layout().in_main_menu());
    // A hidden tab button cannot be hit in the main menu.
    QVERIFY(!rig.window->layout().hit_test(QPoint(100, 60)));
  }

  void click_on_marks_overlapping_main_menu_button_hits_the_marks() {
    MainLayout l;
    l.press(WindowButton::StatusTile);
    QVERIFY(l.hit_test(QPoint(945, 20)) == WindowButton::Minimise);
    QVERIFY(l.hit_test(QPoint(975, 20)) == WindowButton::Hide);
    QVERIFY(l.hit_test(QPoint(850, 20)) == WindowButton::MainMenu);
  }

  void heart_page_request_while_hidden_shows_heart_page() {
    WindowRig rig;
    rig.window->press(WindowButton::Hide);
    QVERIFY(!rig.window->isVisible());
    HidReport report;  // 16-byte layout, report ID 1, code 0x0E: bring up the heart-rate page
    report.device_name = kSensorMouseName;
    report.bytes.assign(16, 0);
    report.bytes[0] = 0x01;
    report.bytes[1] = 0x0E;
    rig.engine->on_hid_report(report);
    QVERIFY(rig.window->isVisible());
    QVERIFY(!rig.window->isMinimized());
    QCOMPARE(rig.window->layout().current_page(), Page::HeartRate);
    QVERIFY(rig.window->heart_rate_page()->isVisible());
    QVERIFY(!rig.window->layout().in_main_menu());
  }
};

}  // namespace corvane::testing

#include "main_window_buttons_test.moc"
