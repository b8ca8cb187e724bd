#pragma once

#include <QRect>
#include <memory>

#include "activitylog/day_archive.h"
#include "engine/engine_listener.h"
#include "engine/local_date.h"
#include "views/activity_figures.h"
#include "views/page_widget.h"

class QDateEdit;
class QPushButton;

namespace corvane {

class Engine;

// What the status page shows: one day, or one month (its `day` then unused).
struct ShownPeriod {
  enum class Kind { Day, Month };
  Kind kind = Kind::Day;
  LocalDate date;

  bool operator==(const ShownPeriod&) const = default;
};

// The status page: today's clicks and travel (live), a chosen day's (from its day file) or a month's (one
// bar per day from the day files). The engine drains the button events every 800 ms; the page repaints
// after a drain that changed its figures (travel reports in between wait for it), and when the day it
// showed ends it moves on to the new day. Saved days are read when
// the period changes, never while painting.
//
// The chart takes the middle of the page; the presses and double clicks per button and the total travel
// stand beside it. "データの履歴をみる" opens the month; a bar of the month opens that day; "< 前月" and
// "次月 >" step through months; the date field picks any day; "本日のデータに戻る" comes back to today.
class StatusPage final : public PageWidget, private EngineListener {
  Q_OBJECT
 public:
  explicit StatusPage(QWidget* parent);
  ~StatusPage() override;  // detaches from the engine, which may outlive the page

  //! Connects the page to the engine (the live counters and their date, the data folder) and shows
  //! today. Until then the page shows an empty today.
  void attach(Engine& engine);
  //! The day or month shown.
  const ShownPeriod& period() const { return period_; }

  enum class Mode { Today, Day, Month };
  Mode mode() const { return mode_; }
  //! The live counters' date.
  const LocalDate& today() const { return today_; }
  const ActivityFigures& figures() const { return figures_; }
  QString heading() const override;

  // Commands of the page's buttons.
  void show_today();
  void show_day(const LocalDate& date);
  void show_month(int year, int month);
  void previous_month();
  void next_month();

  //! Re-reads what the shown period needs and repaints: after a drain, a day change, a period change.
  void refresh();

  //! The chart's area in page coordinates (for clicks on a month's bars).
  QRect chart_area() const;

 protected:
  void paint_content(QPainter& p, int top) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // EngineListener
  void on_counters_changed() override;
  void on_day_started(const LocalDate& finished, const LocalDate& started) override;

  void set_period(const ShownPeriod& period);
  bool compute();  // the figures of the shown period; true when the mode or the period changed
  void update_controls();
  const DailyActivity& saved_day(const LocalDate& date);
  void paint_summary(QPainter& p, const QRect& area) const;
  void paint_legend(QPainter& p, const QRect& area) const;

  Engine* engine_ = nullptr;
  std::uint64_t drains_seen_ = 0;  // the engine's drains up to the last live repaint
  Mode mode_ = Mode::Today;
  ShownPeriod period_;
  LocalDate today_;
  ActivityFigures figures_;
  // Saved days read for the chosen day or month; forgotten when another period is chosen so that a
  // later look reads the files again.
  std::unique_ptr<DayArchive> archive_;

  QPushButton* past_days_button_ = nullptr;  // "データの履歴をみる" (this month) / "本日のデータに戻る"
  QPushButton* previous_button_ = nullptr;
  QPushButton* next_button_ = nullptr;
  QDateEdit* date_picker_ = nullptr;
};

}  // namespace corvane
