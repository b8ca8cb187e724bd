#include "views/status_page.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <memory>

#include "activitylog/day_file.h"
#include "engine/engine.h"
#include "platform/atomic_file.h"
#include "support/fake_clock.h"
#include "support/paint_recorder.h"
#include "support/qt_test_runner.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"
#include "views/activity_chart.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

constexpr std::uint64_t u64(std::uint64_t n) {
  return n;
}
constexpr const char* kSensorMouse = "hid-0c45-7e11-mouse";
constexpr std::uint16_t kLeftDown = 0x0001, kLeftUp = 0x0002, kRightDown = 0x0004, kRightUp = 0x0008;
constexpr std::uint16_t kSideDown = 0x0040, kSideUp = 0x0080;

// The status page on an engine of its own (no hosted parts), with the wall clock at 8 December 2026 10:00.
class StatusPageTest final : public testing::QtTestGroup<StatusPageTest> {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempFolder> folder_;
  std::unique_ptr<testing::FakeClock> clock_;
  testing::VirtualTime scheduler_;
  testing::RecordingNotifier notifier_;
  std::unique_ptr<Engine> engine_;
  std::unique_ptr<StatusPage> page_;

  void report(std::uint16_t flags, int dx = 0, int x = 100, int y = 100) {
    clock_->advance_ms(60);
    MouseReport r;
    r.device_name = kSensorMouse;
    r.button_flags = flags;
    r.dx = dx;
    r.cursor_x = x;
    r.cursor_y = y;
    engine_->on_mouse_report(r);
  }
  void click(std::uint16_t down, std::uint16_t up) {
    report(down);
    report(up);
  }
  void write_day(int year, int month, int day, const DailyActivity& record) {
    QVERIFY(write_file_atomically(folder_->path() / day_file_name(year, month, day), serialize_day(record))
                .has_value());
  }
  static DailyActivity day_with(int left_presses, int hour, std::uint32_t move_units) {
    DailyActivity d;
    d.clicks[0][hour] = static_cast<std::uint32_t>(left_presses);
    d.move_counts[hour] = move_units;
    return d;
  }

 private slots:
  void init() {
    folder_ = std::make_unique<testing::TempFolder>();
    clock_ = std::make_unique<testing::FakeClock>(LocalDateTime{2026, 12, 8, 10, 0, 0, 0, 2});
    engine_ = std::make_unique<Engine>(EngineConfig{folder_->path(), 500}, *clock_, scheduler_, notifier_);
    engine_->start();
    page_ = std::make_unique<StatusPage>(nullptr);
    page_->resize(961, 516);
    page_->attach(*engine_);
  }
  void cleanup() {
    page_.reset();
    engine_.reset();
    notifier_.messages.clear();
  }

  void today_after_drain_counts_presses_doubles_and_travel() {
    click(kLeftDown, kLeftUp);
    click(kLeftDown, kLeftUp);  // the same spot within the double-click time
    click(kRightDown, kRightUp);
    click(kSideDown, kSideUp);
    report(0, 62992);  // one metre
    report(0, 62992 / 2);
    engine_->on_timer(TimerId::StatusDrain);

    QCOMPARE(page_->mode(), StatusPage::Mode::Today);
    QCOMPARE(page_->heading(), ui_text(text::kTodayHeading));
    const ActivityFigures& f = page_->figures();
    QCOMPARE(f.presses[0], u64(2));
    QCOMPARE(f.double_clicks[0], u64(1));
    QCOMPARE(f.presses[1], u64(1));
    QCOMPARE(f.double_clicks[1], u64(0));
    QCOMPARE(f.presses[3], u64(1));
    QVERIFY(std::abs(f.travel_m - 1.5) < 1e-4);
    QCOMPARE(f.bar_clicks.size(), std::size_t{24});
    QCOMPARE(f.bar_clicks[10], u64(4));  // every press of the 10 o'clock hour
    QCOMPARE(f.bar_clicks[9], u64(0));
    QVERIFY(std::abs(f.bar_travel_m[10] - 1.5) < 1e-4);
    QVERIFY(!page_->grab().isNull());  // paints without a fault
  }

  void today_before_drain_keeps_the_last_figures() {
    click(kLeftDown, kLeftUp);
    QCOMPARE(page_->figures().presses[0], u64(0));  // queued, not counted yet
    engine_->drain_events();
    QCOMPARE(page_->figures().presses[0], u64(1));
  }

  void today_repaints_after_a_drain_that_changed_the_figures_only() {
    page_->show();
    QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
    testing::PaintRecorder recorder(*page_);
    bool settled = false;
    recorder.settle(&settled);
    QVERIFY(settled);

    report(0, 62992);  // travel waits for the next drain
    QVERIFY(recorder.settle(&settled).isEmpty());
    QVERIFY(settled);
    engine_->on_timer(TimerId::StatusDrain);
    QVERIFY(recorder.settle(&settled).intersects(page_->chart_area()));
    QVERIFY(settled);

    engine_->on_timer(TimerId::StatusDrain);  // nothing new
    QVERIFY(recorder.settle(&settled).isEmpty());
    QVERIFY(settled);
    click(kLeftDown, kLeftUp);
    engine_->on_timer(TimerId::StatusDrain);
    QVERIFY(!recorder.settle(&settled).isEmpty());
    QCOMPARE(page_->figures().presses[0], u64(1));
  }

  void today_at_midnight_moves_on_to_the_new_day() {
    click(kLeftDown, kLeftUp);
    click(kRightDown, kRightUp);
    engine_->drain_events();
    QCOMPARE(page_->figures().total_presses(), u64(2));

    clock_->set_wall({2026, 12, 9, 0, 0, 5, 0, 3});
    click(kLeftDown, kLeftUp);  // the first report of the new day saves yesterday and starts at zero
    engine_->drain_events();
    engine_->wait_for_background_work();

    QCOMPARE(page_->mode(), StatusPage::Mode::Today);
    QCOMPARE(page_->period().date, (LocalDate{2026, 12, 9}));
    QCOMPARE(page_->figures().total_presses(), u64(1));
    QCOMPARE(page_->figures().bar_clicks[0], u64(1));

    // Yesterday is now a saved day with its two presses.
    page_->show_day({2026, 12, 8});
    QCOMPARE(page_->mode(), StatusPage::Mode::Day);
    QCOMPARE(page_->heading(), QStringLiteral("2026/12/8のクリック数・移動距離データ"));
    QCOMPARE(page_->figures().presses[0], u64(1));
    QCOMPARE(page_->figures().presses[1], u64(1));
  }

  void chosen_day_stays_when_the_day_ends() {
    write_day(2026, 12, 1, day_with(7, 9, 0));
    page_->show_day({2026, 12, 1});
    clock_->set_wall({2026, 12, 9, 0, 0, 5, 0, 3});
    click(kLeftDown, kLeftUp);
    engine_->drain_events();
    QCOMPARE(page_->mode(), StatusPage::Mode::Day);
    QCOMPARE(page_->figures().presses[0], u64(7));
  }

  void chosen_day_reads_its_file_and_ignores_live_clicks() {
    write_day(2026, 12, 5, day_with(12, 14, 62992 * 3));
    page_->show_day({2026, 12, 5});
    QCOMPARE(page_->heading(), QStringLiteral("2026/12/5のクリック数・移動距離データ"));
    QCOMPARE(page_->figures().presses[0], u64(12));
    QCOMPARE(page_->figures().bar_clicks[14], u64(12));
    QVERIFY(std::abs(page_->figures().travel_m - 3.0) < 1e-9);

    click(kLeftDown, kLeftUp);
    engine_->drain_events();
    QCOMPARE(page_->figures().presses[0], u64(12));

    auto* back = page_->findChild<QPushButton*>(QStringLiteral("past_days_toggle"));
    QCOMPARE(back->text(), ui_text(text::kBackToToday));
    back->click();
    QCOMPARE(page_->mode(), StatusPage::Mode::Today);
    QCOMPARE(page_->figures().presses[0], u64(1));
  }

  void chosen_day_without_file_shows_zeros() {
    page_->show_day({2026, 11, 20});
    QCOMPARE(page_->figures().total_presses(), u64(0));
    QVERIFY(notifier_.messages.empty());  // a missing file is no error
  }

  void chosen_day_with_damaged_file_says_load_error() {
    QVERIFY(write_file_atomically(folder_->path() / day_file_name(2026, 12, 2), "{not json").has_value());
    page_->show_day({2026, 12, 2});
    QCOMPARE(notifier_.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(notifier_.messages[0]), QStringLiteral("load error"));
  }

  void month_has_one_bar_per_day_with_today_live() {
    write_day(2026, 12, 1, day_with(4, 9, 62992));
    write_day(2026, 12, 5, day_with(6, 11, 0));
    click(kLeftDown, kLeftUp);
    engine_->drain_events();

    auto* toggle = page_->findChild<QPushButton*>(QStringLiteral("past_days_toggle"));
    QCOMPARE(toggle->text(), ui_text(text::kViewPastDays));
    toggle->click();
    QCOMPARE(page_->mode(), StatusPage::Mode::Month);
    QCOMPARE(page_->heading(), QStringLiteral("12月のクリック数・移動距離データ"));
    const ActivityFigures& f = page_->figures();
    QCOMPARE(f.bar_clicks.size(), std::size_t{31});
    QCOMPARE(f.bar_clicks[0], u64(4));
    QCOMPARE(f.bar_clicks[4], u64(6));
    QCOMPARE(f.bar_clicks[7], u64(1));  // today, from the live counters
    QCOMPARE(f.presses[0], u64(11));
    QVERIFY(std::abs(f.travel_m - 1.0) < 1e-9);

    // The month follows today's live clicks.
    click(kLeftDown, kLeftUp);
    engine_->drain_events();
    QCOMPARE(page_->figures().bar_clicks[7], u64(2));
  }

  void month_steps_back_and_not_past_this_month() {
    page_->show_month(2026, 12);
    auto* next = page_->findChild<QPushButton*>(QStringLiteral("next_month"));
    QVERIFY(!next->isEnabled());
    page_->next_month();
    QCOMPARE(page_->period().date.month, 12);

    page_->findChild<QPushButton*>(QStringLiteral("previous_month"))->click();
    QCOMPARE(page_->heading(), QStringLiteral("11月のクリック数・移動距離データ"));
    QCOMPARE(page_->figures().bar_clicks.size(), std::size_t{30});
    QVERIFY(next->isEnabled());

    page_->show_month(2026, 1);
    page_->previous_month();
    QCOMPARE(page_->period().date, (LocalDate{2025, 12, 1}));
  }

  void month_click_on_a_bar_opens_that_day() {
    write_day(2026, 12, 3, day_with(9, 8, 0));
    page_->show_month(2026, 12);
    const QRect chart = page_->chart_area();
    // The third of 31 bars, in the middle of the plot's height.
    int x = -1;
    for (int px = chart.left(); px < chart.right(); ++px)
      if (activity_chart_bar_at(chart, 31, QPoint(px, chart.center().y())) == 2) {
        x = px + 3;
        break;
      }
    QVERIFY(x > 0);
    QTest::mouseClick(page_.get(), Qt::LeftButton, {}, QPoint(x, chart.center().y()));
    QCOMPARE(page_->mode(), StatusPage::Mode::Day);
    QCOMPARE(page_->period().date, (LocalDate{2026, 12, 3}));
    QCOMPARE(page_->figures().presses[0], u64(9));
  }

  void date_picker_opens_the_picked_day() {
    write_day(2026, 11, 30, day_with(3, 1, 0));
    page_->show_month(2026, 12);
    auto* picker = page_->findChild<QDateEdit*>(QStringLiteral("date_picker"));
    QVERIFY(picker->isVisibleTo(page_.get()));
    picker->setDate(QDate(2026, 11, 30));
    emit picker->userDateChanged(QDate(2026, 11, 30));
    QCOMPARE(page_->mode(), StatusPage::Mode::Day);
    QCOMPARE(page_->figures().presses[0], u64(3));
  }

  void figures_nice_axis_tops() {
    QCOMPARE(nice_axis_top(0), 1.0);
    QCOMPARE(nice_axis_top(7), 10.0);
    QCOMPARE(nice_axis_top(12), 20.0);
    QCOMPARE(nice_axis_top(21), 25.0);
    QCOMPARE(nice_axis_top(250), 250.0);
    QCOMPARE(nice_axis_top(0.3), 0.5);
    QCOMPARE(days_in_month(2024, 2), 29);
    QCOMPARE(days_in_month(2100, 2), 28);
  }
};

}  // namespace

}  // namespace corvane

#include "status_page_test.moc"
