#include "views/status_page.h"

#include <QDateEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "base/user_texts.h"
#include "engine/engine.h"
#include "views/activity_chart.h"
#include "views/font_table.h"
#include "views/palette.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

namespace colour = palette_colour;

// Page geometry (the page is 961 x 516): the summary column on the left, the chart to its right.
constexpr int kMargin = 24;
constexpr int kSummaryWidth = 290;
constexpr int kChartLeft = kMargin + kSummaryWidth + 20;
constexpr int kToolbarTop = 76;
constexpr int kToolbarHeight = 32;

bool before(const LocalDate& a, const LocalDate& b) {
  return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

QString count_text(std::uint64_t n) {
  return QLocale(QLocale::English).toString(static_cast<qulonglong>(n));
}

QPushButton* make_button(const QString& label, QWidget* parent, const char* name) {
  auto* b = new QPushButton(label, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setCursor(Qt::PointingHandCursor);
  QFont f = ui_fonts().font(FontRole::Body);
  f.setPixelSize(14);
  b->setFont(f);
  return b;
}

}  // namespace

StatusPage::StatusPage(QWidget* parent) : PageWidget(text::kTodayHeading, parent) {
  setObjectName(QStringLiteral("StatusPage"));
  setMouseTracking(true);
  past_days_button_ = make_button(ui_text(text::kViewPastDays), this, "past_days_toggle");
  previous_button_ = make_button(ui_text(text::kPreviousMonth), this, "previous_month");
  next_button_ = make_button(ui_text(text::kNextMonth), this, "next_month");
  date_picker_ = new QDateEdit(this);
  date_picker_->setObjectName(QStringLiteral("date_picker"));
  date_picker_->setCalendarPopup(true);
  date_picker_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
  QFont f = ui_fonts().font(FontRole::Body);
  f.setPixelSize(14);
  date_picker_->setFont(f);

  connect(past_days_button_, &QPushButton::clicked, this, [this] {
    if (mode_ == Mode::Today)
      show_month(today_.year, today_.month);
    else
      show_today();
  });
  connect(previous_button_, &QPushButton::clicked, this, &StatusPage::previous_month);
  connect(next_button_, &QPushButton::clicked, this, &StatusPage::next_month);
  connect(date_picker_, &QDateEdit::userDateChanged, this, [this](QDate d) {
    if (mode_ != Mode::Today) show_day({d.year(), d.month(), d.day()});
  });
  refresh();
}

StatusPage::~StatusPage() {
  if (engine_) engine_->listeners().remove(*this);
}

void StatusPage::attach(Engine& engine) {
  if (engine_) engine_->listeners().remove(*this);
  engine_ = &engine;
  archive_ = std::make_unique<DayArchive>(engine.config().data_folder, engine.notifier());
  engine.listeners().add(*this);
  set_period({ShownPeriod::Kind::Day, engine.live_date()});
}

void StatusPage::on_counters_changed() {
  // Travel is announced with every motion report; the next drain, at most 800 ms later, shows it.
  if (engine_->drains() == drains_seen_) return;
  drains_seen_ = engine_->drains();
  // Only what the live counters feed needs new figures; a saved day or month stays as it is.
  const LocalDate today = engine_->live_date();
  const bool live = period_.kind == ShownPeriod::Kind::Day
                        ? period_.date == today
                        : period_.date.year == today.year && period_.date.month == today.month;
  if (!live && mode_ != Mode::Today) return;
  const ActivityFigures shown = figures_;
  const bool moved = compute();
  if (moved) update_controls();
  // A drain that counted nothing, with no travel since the last, leaves the picture as it is.
  if (moved || !(figures_ == shown)) update();
}

void StatusPage::on_day_started(const LocalDate& finished, const LocalDate& started) {
  // A page that showed the day that ended moves on with the clock; a chosen day or month stays.
  if (period_.kind == ShownPeriod::Kind::Day && period_.date == finished)
    set_period({ShownPeriod::Kind::Day, started});
  else
    refresh();
}

QString StatusPage::heading() const {
  switch (mode_) {
    case Mode::Today:
      return ui_text(text::kTodayHeading);
    case Mode::Day:
      return ui_format(text::kDayHeadingFormat, {period_.date.year, period_.date.month, period_.date.day});
    case Mode::Month:
      return ui_format(text::kMonthHeadingFormat, {period_.date.month});
  }
  return {};
}

void StatusPage::show_today() {
  set_period({ShownPeriod::Kind::Day, today_});
}

void StatusPage::show_day(const LocalDate& date) {
  set_period({ShownPeriod::Kind::Day, date});
}

void StatusPage::show_month(int year, int month) {
  set_period({ShownPeriod::Kind::Month, {year, month, 1}});
}

void StatusPage::previous_month() {
  const LocalDate& d = period_.date;
  show_month(d.month == 1 ? d.year - 1 : d.year, d.month == 1 ? 12 : d.month - 1);
}

void StatusPage::next_month() {
  const LocalDate& d = period_.date;
  const LocalDate next{d.month == 12 ? d.year + 1 : d.year, d.month == 12 ? 1 : d.month + 1, 1};
  if (before(LocalDate{today_.year, today_.month, 1}, next)) return;  // no months after this one
  show_month(next.year, next.month);
}

void StatusPage::set_period(const ShownPeriod& period) {
  if (engine_) today_ = engine_->live_date();
  if (!(period == period_) && archive_) archive_->forget();  // a new look reads the files again
  period_ = period;
  refresh();
}

const DailyActivity& StatusPage::saved_day(const LocalDate& date) {
  static const DailyActivity kNothing{};
  return archive_ ? archive_->day(date.year, date.month, date.day) : kNothing;
}

void StatusPage::refresh() {
  compute();
  update_controls();
  update();
}

bool StatusPage::compute() {
  const Mode before_mode = mode_;
  const ShownPeriod before_period = period_;
  const LocalDate before_today = today_;
  static const DailyActivity kNothing{};
  const DailyActivity& live = engine_ ? engine_->live_activity() : kNothing;
  if (engine_) today_ = engine_->live_date();
  if (period_.kind == ShownPeriod::Kind::Day) {
    if (!engine_ || period_.date == today_) {
      mode_ = Mode::Today;
      figures_ = day_figures(live);
    } else {
      mode_ = Mode::Day;
      figures_ = day_figures(saved_day(period_.date));
    }
  } else {
    mode_ = Mode::Month;
    std::vector<DailyActivity> days;
    const int count = days_in_month(period_.date.year, period_.date.month);
    for (int d = 1; d <= count; ++d) {
      const LocalDate date{period_.date.year, period_.date.month, d};
      if (date == today_)
        days.push_back(live);
      else if (before(today_, date))
        days.emplace_back();  // still to come
      else
        days.push_back(saved_day(date));
    }
    figures_ = month_figures(days);
  }
  return mode_ != before_mode || !(period_ == before_period) || !(today_ == before_today);
}

void StatusPage::update_controls() {
  const int right = width() > 0 ? width() - kMargin : 937;
  past_days_button_->setText(ui_text(mode_ == Mode::Today ? text::kViewPastDays : text::kBackToToday));
  past_days_button_->setGeometry(right - 190, 20, 190, 36);
  const bool browsing = mode_ != Mode::Today;
  previous_button_->setVisible(browsing);
  next_button_->setVisible(browsing);
  date_picker_->setVisible(browsing);
  previous_button_->setGeometry(right - 330, kToolbarTop, 90, kToolbarHeight);
  date_picker_->setGeometry(right - 234, kToolbarTop, 138, kToolbarHeight);
  next_button_->setGeometry(right - 90, kToolbarTop, 90, kToolbarHeight);
  next_button_->setEnabled(
      before(LocalDate{period_.date.year, period_.date.month, 1}, LocalDate{today_.year, today_.month, 1}));
  {
    const QSignalBlocker block(date_picker_);
    date_picker_->setMaximumDate(QDate(today_.year, today_.month, today_.day));
    date_picker_->setDate(QDate(period_.date.year, period_.date.month, period_.date.day));
  }
}

QRect StatusPage::chart_area() const {
  const int w = width() > 0 ? width() : 961;
  const int h = height() > 0 ? height() : 516;
  return QRect(kChartLeft, kToolbarTop + kToolbarHeight + 10, w - kChartLeft - kMargin,
               h - (kToolbarTop + kToolbarHeight + 10) - 18);
}

void StatusPage::paint_content(QPainter& p, int top) {
  paint_summary(p, QRect(kMargin, top, kSummaryWidth, height() - top - 18));
  paint_legend(p, QRect(kChartLeft, kToolbarTop, 300, kToolbarHeight));
  ActivityChartStyle style;
  if (mode_ == Mode::Month) {
    style.first_label = 1;
    style.label_every = 5;
    style.unit_suffix = shown_text(user_text::kDaySuffix).trimmed();
    if (period_.date.year == today_.year && period_.date.month == today_.month)
      style.highlight = today_.day - 1;
  } else {
    style.first_label = 0;
    style.label_every = 3;
    style.unit_suffix = shown_text(user_text::kHourSuffix).trimmed();
    if (mode_ == Mode::Today && engine_) style.highlight = engine_->clock().local_now().hour;
  }
  draw_activity_chart(p, chart_area(), figures_, style);
}

void StatusPage::paint_legend(QPainter& p, const QRect& area) const {
  // The legend text names both series, each after its mark: "．総クリック数" for the bars and "－総移動距離"
  // for the line. The line's part starts at the last space before a mark (a translation may hold spaces
  // within the names).
  const QString legend = ui_text(text::kChartLegend);
  qsizetype split = legend.size() - 2;
  while (split >= 0 && !(legend[split] == u' ' && !legend[split + 1].isLetterOrNumber()))
    --split;
  const QString bars = (split < 0 ? legend : legend.left(split)).mid(1).trimmed();
  const QString line = split < 0 ? QString() : legend.mid(split + 1).mid(1).trimmed();
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(ui_fonts().font(FontRole::Caption));
  int x = area.left();
  const int cy = area.center().y();
  p.fillRect(QRect(x, cy - 6, 14, 12), colour::kData);
  x += 20;
  p.setPen(colour::kInk);
  const int bars_w = p.fontMetrics().horizontalAdvance(bars);
  p.drawText(QRect(x, area.top(), bars_w + 4, area.height()), Qt::AlignLeft | Qt::AlignVCenter, bars);
  x += bars_w + 18;
  p.setPen(QPen(colour::kAccent, 2.5));
  p.drawLine(x, cy, x + 16, cy);
  p.setBrush(colour::kAccent);
  p.drawEllipse(QPointF(x + 8, cy), 3.5, 3.5);
  x += 22;
  p.setPen(colour::kInk);
  p.drawText(QRect(x, area.top(), 200, area.height()), Qt::AlignLeft | Qt::AlignVCenter, line);
  p.restore();
}

void StatusPage::paint_summary(QPainter& p, const QRect& area) const {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath panel;
  panel.addRoundedRect(QRectF(area), 10, 10);
  p.fillPath(panel, colour::kBackground);

  const int left = area.left() + 14;
  const int name_w = 112;
  const int col_w = (area.width() - 28 - name_w) / 2;
  const int single_x = left + name_w;
  const int double_x = single_x + col_w;
  int y = area.top() + 12;

  QFont small = ui_fonts().font(FontRole::Caption);
  p.setFont(small);
  p.setPen(colour::kMutedInk);
  // The column heads are longer than the figures: each goes on two lines, broken before "クリック".
  const auto two_lines = [](const QString& s) {
    const qsizetype at = s.indexOf(QStringLiteral("クリック"));
    return at > 0 ? s.left(at) + u'\n' + s.mid(at) : s;
  };
  p.drawText(QRect(single_x, y, col_w, 34), Qt::AlignRight | Qt::AlignVCenter,
             two_lines(ui_text(text::kSingleClick)));
  p.drawText(QRect(double_x, y, col_w, 34), Qt::AlignRight | Qt::AlignVCenter,
             two_lines(ui_text(text::kDoubleClick)));
  y += 40;

  static constexpr int kButtonTexts[kButtonKinds] = {
      text::kLeftButton, text::kRightButton, text::kCentreButton, text::kSideButton1, text::kSideButton2};
  QFont name_font = ui_fonts().font(FontRole::Body);
  name_font.setPixelSize(13);
  QFont number_font = ui_fonts().font(FontRole::Body);
  const QString unit = ui_text(text::kTimesUnit).trimmed();  // English counts go without a unit
  for (int k = 0; k < kButtonKinds; ++k) {
    const auto kk = static_cast<std::size_t>(k);
    if (k > 0) {
      p.setPen(QPen(colour::kCardBorder, 1));
      p.drawLine(left, y - 4, area.right() - 14, y - 4);
    }
    p.setPen(colour::kInk);
    p.setFont(name_font);
    p.drawText(QRect(left, y, name_w, 30), Qt::AlignLeft | Qt::AlignVCenter, ui_text(kButtonTexts[k]));
    p.setFont(number_font);
    p.drawText(QRect(single_x, y, col_w, 30), Qt::AlignRight | Qt::AlignVCenter,
               count_text(figures_.presses[kk]) + unit);
    p.setPen(colour::kMutedInk);
    p.drawText(QRect(double_x, y, col_w, 30), Qt::AlignRight | Qt::AlignVCenter,
               count_text(figures_.double_clicks[kk]) + unit);
    y += 38;
  }

  // The total travel, large, under the buttons.
  y += 8;
  p.setPen(QPen(colour::kCardBorder, 1));
  p.drawLine(left, y, area.right() - 14, y);
  y += 12;
  p.setPen(colour::kMutedInk);
  p.setFont(small);
  p.drawText(QRect(left, y, area.width() - 28, 18), Qt::AlignLeft | Qt::AlignVCenter,
             ui_text(text::kTotalTravel));
  y += 20;
  p.setPen(colour::kAccent);
  p.setFont(ui_fonts().font(FontRole::Figure));
  const QString metres = metres_text(figures_.travel_m);
  const int mw = p.fontMetrics().horizontalAdvance(metres);
  p.drawText(QRect(left, y, mw + 4, 44), Qt::AlignLeft | Qt::AlignVCenter, metres);
  p.setFont(ui_fonts().font(FontRole::Body));
  p.drawText(QRect(left + mw + 8, y + 6, 40, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("m"));
  p.restore();
}

void StatusPage::mousePressEvent(QMouseEvent* event) {
  if (mode_ != Mode::Month || event->button() != Qt::LeftButton) return;
  const int bar = activity_chart_bar_at(chart_area(), static_cast<int>(figures_.bar_clicks.size()),
                                        event->position().toPoint());
  if (bar < 0) return;
  const LocalDate date{period_.date.year, period_.date.month, bar + 1};
  if (before(today_, date)) return;
  show_day(date);
}

void StatusPage::resizeEvent(QResizeEvent*) {
  update_controls();
}

void StatusPage::mouseMoveEvent(QMouseEvent* event) {
  const bool over_bar = mode_ == Mode::Month &&
                        activity_chart_bar_at(chart_area(), static_cast<int>(figures_.bar_clicks.size()),
                                              event->position().toPoint()) >= 0;
  setCursor(over_bar ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

}  // namespace corvane
