#include "views/heart_rate_page.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "heart/fake_detector.h"
#include "heart/heart_monitor.h"
#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "support/drawn_texts.h"
#include "support/fake_clock.h"
#include "support/paint_recorder.h"
#include "support/qt_test_runner.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"
#include "views/drawn_control.h"
#include "views/language.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

using testing::Block;
using testing::FakeDetector;
using testing::kOff;
using testing::kOn;

// The heart page on a heart side with a stand-in detector: each state of a measurement is reached by
// sending sample blocks, and the page is painted to see what it draws.
class HeartRatePageTest final : public testing::QtTestGroup<HeartRatePageTest> {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempFolder> folder_;
  testing::FakeClock clock_;
  testing::VirtualTime scheduler_;
  testing::RecordingNotifier notifier_;
  std::unique_ptr<HeartMonitor> monitor_;
  EngineListeners listeners_;
  std::unique_ptr<HeartRatePage> page_;

  void make_page() {
    monitor_ = std::make_unique<HeartMonitor>(clock_, scheduler_, notifier_, folder_->path(),
                                              std::make_unique<OstrelBinding>(FakeDetector::entry_points()));
    page_ = std::make_unique<HeartRatePage>(nullptr);
    page_->resize(961, 516);
    page_->attach(listeners_, *monitor_);
  }
  // Blocks every 50 ms for `ms`, with a saw-tooth reading.
  void blocks_for(std::int64_t ms, std::uint8_t contact) {
    for (std::int64_t t = 0; t < ms; t += 50) {
      clock_.advance_ms(50);
      monitor_->take_sample_block(
          Block(100000 + static_cast<std::uint32_t>((t / 50) % 16) * 500, contact).span());
    }
  }
  void move_to(QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), page_->mapToGlobal(QPointF(pos)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(page_.get(), &move);
  }
  QStringList painted() {
    page_->grab();
    return page_->drawn_texts();
  }
  void write_log(const std::vector<std::pair<int, LocalTimestamp>>& entries) {
    std::vector<HeartLog> list;
    for (auto [bpm, t] : entries)
      list.push_back(make_heart_log(bpm, t));
    QVERIFY(
        write_file_atomically(folder_->path() / kHeartLogFileName, serialize_heart_log(list)).has_value());
  }

 private slots:
  void init() {
    FakeDetector::reset_instance();
    folder_ = std::make_unique<testing::TempFolder>();
  }
  void cleanup() {
    page_.reset();
    monitor_.reset();
    install_ui_language(UiLanguage::Japanese);
  }

  void idle_shows_no_readout_and_no_message() {
    make_page();
    const QStringList texts = painted();
    QVERIFY(texts.contains(QStringLiteral("-- bpm")));
    QVERIFY(!texts.contains(ui_text(text::kPromptThumb)));
    QVERIFY(!texts.contains(ui_text(text::kPromptRelax)));
    QVERIFY(texts.contains(ui_text(text::kDisclaimer)));
    QVERIFY(!page_->heart_drawn_lit());
    QCOMPARE(page_->heading(), ui_text(text::kHeartMeasurement));
  }

  void no_contact_asks_for_the_thumb() {
    make_page();
    blocks_for(500, kOff);
    const QStringList texts = painted();
    QVERIFY(texts.contains(QStringLiteral("-- bpm")));
    QVERIFY(texts.contains(ui_text(text::kPromptThumb)));
    QVERIFY(!texts.contains(ui_text(text::kPromptRelax)));
  }

  void stabilising_waits_and_shows_the_hint() {
    make_page();
    FakeDetector::instance().ready = false;
    blocks_for(500, kOff);
    blocks_for(3000, kOn);
    const QStringList texts = painted();
    QVERIFY(texts.contains(QStringLiteral("-- bpm")));
    QVERIFY(texts.contains(ui_text(text::kPromptStabilising)));
    QVERIFY(texts.contains(ui_text(text::kPromptRelax)));
  }

  void counting_shows_the_average_and_the_countdown() {
    make_page();
    FakeDetector::instance().ready = true;
    FakeDetector::instance().average = 72;
    blocks_for(500, kOff);
    blocks_for(3600, kOn);  // ready for about 3.5 s: 4 of the 8 seconds left
    const QStringList texts = painted();
    QVERIFY2(texts.contains(QStringLiteral("72 bpm")), qPrintable(texts.join(u'|')));
    bool countdown = false;
    for (const QString& t : texts)
      if (t.startsWith(QStringLiteral("wait ")) && t.endsWith(QStringLiteral(" sec"))) countdown = true;
    QVERIFY2(countdown, qPrintable(texts.join(u'|')));
    QVERIFY(texts.contains(ui_text(text::kPromptRelax)));
    QVERIFY(!texts.contains(QStringLiteral("Result: 72 bpm")));
  }

  void fixed_result_is_held_and_lands_in_the_latest_entry() {
    make_page();
    FakeDetector::instance().ready = true;
    FakeDetector::instance().average = 72;
    blocks_for(500, kOff);
    blocks_for(10'000, kOn);
    const QStringList texts = painted();
    QVERIFY2(texts.contains(QStringLiteral("72 bpm")), qPrintable(texts.join(u'|')));
    bool latest = false;
    for (const QString& t : texts)
      if (t.endsWith(QStringLiteral(" , 72bpm"))) latest = true;
    QVERIFY2(latest, qPrintable(texts.join(u'|')));
    QCOMPARE(monitor_->results().size(), std::size_t{1});
    // The thumb stays: no second result in the same contact.
    blocks_for(10'000, kOn);
    QCOMPARE(monitor_->results().size(), std::size_t{1});
  }

  void lifted_thumb_returns_to_no_readout() {
    make_page();
    FakeDetector::instance().ready = true;
    blocks_for(500, kOff);
    blocks_for(10'000, kOn);
    blocks_for(500, kOff);
    const QStringList texts = painted();
    QVERIFY(texts.contains(QStringLiteral("-- bpm")));
    QVERIFY(texts.contains(ui_text(text::kPromptThumb)));
  }

  void streaming_repaints_the_waveform_strip_and_what_changed_not_the_page() {
    make_page();
    monitor_->on_changed = [this] { listeners_.announce([](EngineListener& l) { l.on_heart_changed(); }); };
    page_->show();
    QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
    testing::PaintRecorder page(*page_);
    testing::PaintRecorder strip(*page_->waveform_strip());
    QCOMPARE(page_->waveform_strip()->geometry(), page_->waveform_area());
    blocks_for(500, kOff);
    QVERIFY(QTest::qWaitFor([&] { return !strip.painted().isEmpty(); }));
    bool settled = false;
    page.settle(&settled);
    QVERIFY(settled);
    strip.settle();

    // A block that changes nothing but the readings: the strip alone, once its frame is due.
    blocks_for(50, kOff);
    QVERIFY(QTest::qWaitFor([&] { return !strip.painted().isEmpty(); }));
    QCOMPARE(page.settle(&settled), QRegion());
    QVERIFY(settled);

    // The thumb arrives: the message and the hint change as well, the heading and the disclaimer stay.
    FakeDetector::instance().ready = false;
    blocks_for(3000, kOn);
    const QRegion changed = page.settle(&settled);
    QVERIFY(settled);
    QVERIFY(painted().contains(ui_text(text::kPromptStabilising)));
    QVERIFY(changed.intersects(QRect(40, 206, 100, 16)));           // the first line of the message
    QVERIFY(!changed.intersects(QRect(0, 0, page_->width(), 60)));  // the heading
    QVERIFY(!changed.intersects(QRect(0, page_->height() - 60, page_->width(), 60)));  // the disclaimer
  }

  void results_view_draws_ten_cards_per_column() {
    std::vector<std::pair<int, LocalTimestamp>> entries;
    for (int i = 0; i < 12; ++i)
      entries.push_back({60 + i, to_local_timestamp(2026, 12, 7, 8, i)});
    write_log(entries);
    make_page();
    auto* toggle = page_->findChild<QPushButton*>(QStringLiteral("results_toggle"));
    QCOMPARE(toggle->text(), ui_text(text::kViewResults));
    toggle->click();
    QCOMPARE(toggle->text(), ui_text(text::kToHeartPage));
    QCOMPARE(page_->heading(), ui_text(text::kResultsHeading));
    const QStringList texts = painted();
    QVERIFY(texts.contains(QStringLiteral("2026/12/07 08:00")));
    QVERIFY(texts.contains(QStringLiteral("60")));
    const auto& marks = page_->delete_marks();
    QCOMPARE(marks.size(), std::size_t{12});
    QCOMPARE(marks[10].top(), marks[0].top());  // the eleventh card starts the second column
    QVERIFY(marks[10].left() > marks[9].left());
    QCOMPARE(marks[9].left(), marks[0].left());
    QVERIFY(marks[9].top() > marks[8].top());
  }

  void results_more_cards_than_fit_scroll_by_column_with_the_wheel() {
    std::vector<std::pair<int, LocalTimestamp>> entries;
    for (int i = 0; i < 45; ++i)
      entries.push_back({60 + i % 40, to_local_timestamp(2026, 12, 1, 8, 0) + 600 * i});
    write_log(entries);
    make_page();
    page_->toggle_view();
    painted();
    auto shown = [&] {
      int n = 0;
      for (const QRect& r : page_->delete_marks())
        n += r.isNull() ? 0 : 1;
      return n;
    };
    QCOMPARE(page_->delete_marks().size(), std::size_t{45});
    QCOMPARE(shown(), 40);  // four columns of ten
    QVERIFY(page_->delete_marks()[44].isNull());

    QWheelEvent down(QPointF(300, 300), page_->mapToGlobal(QPointF(300, 300)), {}, QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(page_.get(), &down);
    painted();
    QVERIFY(page_->delete_marks()[0].isNull());
    QVERIFY(!page_->delete_marks()[44].isNull());
    QCOMPARE(page_->delete_marks()[10].left(), page_->delete_marks()[44].left() - 3 * (214 + 12));
    QApplication::sendEvent(page_.get(), &down);  // no further than the last column
    painted();
    QVERIFY(!page_->delete_marks()[44].isNull());
    QVERIFY(!page_->delete_marks()[10].isNull());
  }

  void results_card_delete_mark_removes_that_entry() {
    write_log({{70, to_local_timestamp(2026, 12, 7, 9, 0)},
               {80, to_local_timestamp(2026, 12, 7, 8, 0)},
               {90, to_local_timestamp(2026, 12, 7, 7, 0)}});
    make_page();
    page_->toggle_view();
    painted();
    const QRect mark = page_->delete_marks().at(1);
    move_to(mark.center());
    QCOMPARE(page_->cursor().shape(), Qt::PointingHandCursor);
    move_to(QPoint(5, 5));
    QCOMPARE(page_->cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(page_.get(), Qt::LeftButton, {}, mark.center());
    const std::vector<HeartLog> left = monitor_->results().entries();
    QCOMPARE(left.size(), std::size_t{2});
    QCOMPARE(left[0].bpm, 70);
    QCOMPARE(left[1].bpm, 90);
    QVERIFY(page_->delete_marks().empty());  // until the next paint places the cards again
    painted();
    QCOMPARE(page_->delete_marks().size(), std::size_t{2});

    // Back to the measurement view and into the results again: the deleted entry stays deleted.
    page_->toggle_view();
    page_->toggle_view();
    QCOMPARE(monitor_->results().size(), std::size_t{2});
  }

  void results_result_added_since_paint_then_delete_removes_the_pressed_card() {
    write_log({{70, to_local_timestamp(2026, 12, 7, 9, 0)}, {80, to_local_timestamp(2026, 12, 7, 8, 0)}});
    make_page();
    page_->toggle_view();
    painted();
    const QRect mark = page_->delete_marks().at(1);  // the card of 80
    // A result lands at the front before the page has painted again.
    QVERIFY(monitor_->results().add(make_heart_log(60, to_local_timestamp(2026, 12, 7, 10, 0))).has_value());

    QTest::mouseClick(page_.get(), Qt::LeftButton, {}, mark.center());
    const std::vector<HeartLog> left = monitor_->results().entries();
    QCOMPARE(left.size(), std::size_t{2});
    QCOMPARE(left[0].bpm, 60);
    QCOMPARE(left[1].bpm, 70);
  }

  // Under an English desktop the page draws no Japanese in any state, and the screen reader's texts
  // follow the readout and the message as they change.
  void english_states_draw_no_japanese_and_speak_what_they_draw() {
    QVERIFY(install_ui_language(UiLanguage::English));
    write_log({{70, to_local_timestamp(2026, 12, 7, 9, 0)}});
    make_page();
    QStringList all;
    FakeDetector::instance().ready = false;
    blocks_for(500, kOff);
    all << testing::drawn_texts(*page_);
    QCOMPARE(page_->spoken_message()->text(), QStringLiteral("Place your thumb on the green LED"));
    blocks_for(3000, kOn);  // stabilising, with the hint
    all << testing::drawn_texts(*page_);
    QVERIFY(page_->spoken_message()->text().startsWith(QStringLiteral("Waiting for the signal")));
    QCOMPARE(page_->spoken_readout()->text(), QStringLiteral("-- bpm"));
    QCOMPARE(QAccessible::queryAccessibleInterface(const_cast<SpokenText*>(page_->spoken_readout()))->role(),
             QAccessible::StaticText);
    page_->toggle_view();
    all << testing::drawn_texts(*page_);
    QVERIFY2(testing::japanese_texts(all).isEmpty(), qPrintable(testing::japanese_texts(all).join(u'|')));
    QVERIFY(all.contains(QStringLiteral("Relax and rest your thumb lightly.")));
    QVERIFY(all.contains(QStringLiteral("Heart rate history")));
  }

  // Tab goes from the view switch to each card and its delete mark, each with a name a screen reader
  // reads; Enter on a mark removes that card's entry, as a click does.
  void results_keyboard_reaches_cards_and_enter_on_a_mark_deletes_its_entry() {
    write_log({{70, to_local_timestamp(2026, 12, 7, 9, 0)}, {80, to_local_timestamp(2026, 12, 7, 8, 0)}});
    make_page();
    page_->show();
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
    page_->toggle_view();
    painted();
    auto* toggle = page_->findChild<QPushButton*>(QStringLiteral("results_toggle"));
    toggle->setFocus();
    QStringList names;
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
      QCOMPARE(a->role(), QAccessible::Button);
      names << a->text(QAccessible::Name);
    }
    QCOMPARE(
        names,
        QStringList({QStringLiteral("2026/12/07 09:00, 70 bpm"), QStringLiteral("削除 2026/12/07 09:00"),
                     QStringLiteral("2026/12/07 08:00, 80 bpm"), QStringLiteral("削除 2026/12/07 08:00")}));
    QCOMPARE(QApplication::focusWidget(), page_->delete_mark_controls().at(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const std::vector<HeartLog> left = monitor_->results().entries();
    QCOMPARE(left.size(), std::size_t{1});
    QCOMPARE(left[0].bpm, 70);
    // Until the page paints again the marks are unknown: a second Enter removes nothing.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(monitor_->results().size(), std::size_t{1});
    painted();
    QVERIFY(!page_->delete_mark_controls().at(1)->isVisible());
  }

  void results_press_beside_the_marks_deletes_nothing() {
    write_log({{70, to_local_timestamp(2026, 12, 7, 9, 0)}});
    make_page();
    page_->toggle_view();
    painted();
    const QRect mark = page_->delete_marks().at(0);
    QTest::mouseClick(page_.get(), Qt::LeftButton, {}, mark.center() - QPoint(60, -10));
    QCOMPARE(monitor_->results().size(), std::size_t{1});
  }
};

}  // namespace

}  // namespace corvane

#include "heart_rate_page_test.moc"
