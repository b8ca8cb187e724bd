#include "views/heart_rate_page.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "base/user_texts.h"
#include "heart/heart_monitor.h"
#include "views/drawn_control.h"
#include "views/font_table.h"
#include "views/palette.h"
#include "views/ui_texts.h"
#include "views/waveform_strip.h"

namespace corvane {
namespace {

namespace colour = palette_colour;

constexpr int kMargin = 24;
constexpr int kCardsPerColumn = 10;
constexpr int kCardWidth = 214;
constexpr int kCardGap = 12;
constexpr int kCardHeight = 38;
constexpr int kCardStep = 42;
constexpr int kTextLeft = kMargin + 6;
constexpr int kTextWidth = 420;

QColor argb(const Argb& c) {
  return QColor(c.r, c.g, c.b, c.a);
}

// A heart shape filling `r`.
QPainterPath heart_path(const QRectF& r) {
  const double w = r.width(), h = r.height(), x = r.left(), y = r.top();
  QPainterPath path;
  path.moveTo(x + w / 2, y + h);
  path.cubicTo(x + w * 0.10, y + h * 0.68, x - w * 0.02, y + h * 0.30, x + w * 0.18, y + h * 0.10);
  path.cubicTo(x + w * 0.34, y - h * 0.04, x + w * 0.48, y + h * 0.08, x + w / 2, y + h * 0.22);
  path.cubicTo(x + w * 0.52, y + h * 0.08, x + w * 0.66, y - h * 0.04, x + w * 0.82, y + h * 0.10);
  path.cubicTo(x + w * 1.02, y + h * 0.30, x + w * 0.90, y + h * 0.68, x + w / 2, y + h);
  path.closeSubpath();
  return path;
}

QFont sized(FontRole role, int pixels) {
  QFont f = ui_fonts().font(role);
  f.setPixelSize(pixels);
  return f;
}

}  // namespace

HeartRatePage::HeartRatePage(QWidget* parent) : PageWidget(text::kHeartMeasurement, parent) {
  setObjectName(QStringLiteral("HeartRatePage"));
  setMouseTracking(true);
  toggle_button_ = new QPushButton(ui_text(text::kViewResults), this);
  toggle_button_->setObjectName(QStringLiteral("results_toggle"));
  toggle_button_->setCursor(Qt::PointingHandCursor);
  toggle_button_->setFont(sized(FontRole::Body, 14));
  connect(toggle_button_, &QPushButton::clicked, this, &HeartRatePage::toggle_view);
  waveform_ = new WaveformStrip(this);
  waveform_frame_ = new QTimer(this);
  waveform_frame_->setSingleShot(true);
  waveform_frame_->setInterval(1000 / kWaveformFps);
  connect(waveform_frame_, &QTimer::timeout, waveform_, qOverload<>(&QWidget::update));
  spoken_readout_ = new SpokenText(this);
  spoken_readout_->setObjectName(QStringLiteral("readout"));
  spoken_message_ = new SpokenText(this);
  spoken_message_->setObjectName(QStringLiteral("message"));
  update_button();
}

HeartRatePage::~HeartRatePage() {
  if (listeners_) listeners_->remove(*this);
}

void HeartRatePage::attach(EngineListeners& listeners, HeartMonitor& monitor) {
  if (listeners_) listeners_->remove(*this);
  listeners_ = &listeners;
  monitor_ = &monitor;
  listeners.add(*this);
  waveform_->set_monitor(&monitor);
  update_button();
  update();
}

bool HeartRatePage::showing_results() const {
  return monitor_ && monitor_->showing_results();
}

QString HeartRatePage::heading() const {
  return ui_text(showing_results() ? text::kResultsHeading : text::kHeartMeasurement);
}

void HeartRatePage::toggle_view() {
  if (!monitor_) return;
  first_column_ = 0;
  monitor_->show_results(!monitor_->showing_results());  // entering the results view reloads the list
  update_button();
  invalidate_frame();
  update();
}

void HeartRatePage::update_button() {
  toggle_button_->setText(ui_text(showing_results() ? text::kToHeartPage : text::kViewResults));
  const int right = (width() > 0 ? width() : 961) - kMargin;
  toggle_button_->setGeometry(right - 190, 20, 190, 36);
  waveform_->setGeometry(waveform_area());
  waveform_->setVisible(!showing_results());
}

void HeartRatePage::resizeEvent(QResizeEvent*) {
  update_button();
}

void HeartRatePage::on_heart_changed() {
  // A hidden page is painted whole when it is shown again.
  if (!monitor_ || !isVisible()) return;
  if (showing_results()) {
    // The cards change only with the list, not with the blocks that keep arriving.
    if (monitor_->results().entries() != drawn_entries_) update();
    return;
  }
  const HeartPageView now = monitor_->view();
  const HeartPageView& was = painted_view_;
  QRegion dirty;
  if (now.heart_lit != was.heart_lit) dirty += heart_area();
  if (now.readout != was.readout) dirty += readout_area();
  if (now.message != was.message || now.show_hint != was.show_hint)
    dirty += message_area().united(hint_area());
  if (now.latest_entry != was.latest_entry) dirty += latest_entry_area();
  if (now.library_missing != was.library_missing || now.library_path != was.library_path)
    dirty += library_area();
  if (!dirty.isEmpty()) update(dirty);
  // Blocks that come faster than the frame rate share one frame.
  if (!waveform_frame_->isActive()) waveform_frame_->start();
}

QRect HeartRatePage::heart_area() const {
  return QRect(kMargin + 6, kContentTop + 14, 96, 88);
}

QRect HeartRatePage::readout_area() const {
  return QRect(heart_area().right() + 18, kContentTop, 330, 112);
}

QRect HeartRatePage::message_area() const {
  return QRect(kTextLeft, kContentTop + 126, kTextWidth, 64);
}

QRect HeartRatePage::hint_area() const {
  return QRect(kTextLeft, kContentTop + 198, kTextWidth, 48);
}

QRect HeartRatePage::waveform_area() const {
  const int left = kMargin + kTextWidth + 30;
  return QRect(left, kContentTop + 4, width() - left - kMargin, 250);
}

QWidget* HeartRatePage::waveform_strip() const {
  return waveform_;
}

QRect HeartRatePage::latest_entry_area() const {
  return QRect(kMargin, height() - 16 - 118, width() - 2 * kMargin, 40);
}

QRect HeartRatePage::library_area() const {
  return QRect(kMargin, height() - 16 - 72, width() - 2 * kMargin, 18);
}

QRect HeartRatePage::disclaimer_area() const {
  return QRect(kMargin, height() - 16 - 48, width() - 2 * kMargin, 44);
}

void HeartRatePage::draw_text(QPainter& p, const QRect& r, int flags, const QString& s) {
  if (s.isEmpty()) return;
  // Every text of the picture is listed, also those this paint leaves as they are.
  drawn_texts_ << s;
  if (r.intersects(exposed())) p.drawText(r, flags, s);
}

void HeartRatePage::paint_static(QPainter& p, int) {
  static_texts_.clear();
  if (showing_results()) return;
  p.setPen(colour::kMutedInk);
  p.setFont(ui_fonts().font(FontRole::Caption));
  const QString disclaimer = ui_text(text::kDisclaimer);
  p.drawText(disclaimer_area(), Qt::AlignLeft | Qt::AlignVCenter, disclaimer);
  static_texts_ << disclaimer;
}

void HeartRatePage::paint_content(QPainter& p, int top) {
  drawn_texts_.clear();
  heart_lit_ = false;
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const bool results = showing_results();
  spoken_readout_->setVisible(!results);
  spoken_message_->setVisible(!results);
  if (results) {
    paint_results(p, top);
  } else {
    paint_measurement(p);
    drawn_texts_ << static_texts_;
    delete_marks_.clear();
    cards_.clear();
  }
  sync_card_controls();
}

void HeartRatePage::paint_measurement(QPainter& p) {
  const HeartPageView view = monitor_ ? monitor_->view() : HeartPageView{};
  painted_view_ = view;

  // Left: the heart symbol and the readout, the message and the hint under them.
  const QRect heart_rect = heart_area();
  heart_lit_ = view.heart_lit;
  if (heart_rect.adjusted(-2, -2, 2, 2).intersects(exposed()))
    p.fillPath(heart_path(heart_rect), argb(view.heart_lit ? kHeartLitColour : kHeartDimColour));

  p.setPen(colour::kInk);
  p.setFont(ui_fonts().font(FontRole::Readout));
  const QString readout = QString::fromStdString(view.readout);
  draw_text(p, readout_area(), Qt::AlignLeft | Qt::AlignVCenter, readout);

  p.setPen(colour::kHeart.darker(115));
  p.setFont(ui_fonts().font(FontRole::Heading));
  const QString message = shown_message(view.message);
  draw_text(p, message_area(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, message);
  // A screen reader hears each new readout and message (setting an unchanged text does nothing).
  spoken_readout_->setGeometry(readout_area());
  spoken_readout_->setText(readout);
  spoken_message_->setGeometry(message_area());
  spoken_message_->setText(message);
  if (view.show_hint) {
    p.setPen(colour::kMutedInk);
    p.setFont(sized(FontRole::Body, 14));
    draw_text(p, hint_area(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, ui_text(text::kPromptRelax));
  }

  // Right: the waveform of the last ten seconds is the strip's own (WaveformStrip).

  // Bottom: the latest entry and the missing library (if so); the disclaimer is part of the frame.
  if (!view.latest_entry.empty()) {
    const QRect line = latest_entry_area();
    if (line.intersects(exposed())) {
      QPainterPath card;
      card.addRoundedRect(QRectF(line), 8, 8);
      p.fillPath(card, colour::kBackground);
      p.fillPath(heart_path(QRectF(line.left() + 14, line.top() + 12, 18, 16)), colour::kHeart);
    }
    p.setPen(colour::kInk);
    p.setFont(sized(FontRole::Body, 16));
    draw_text(p, line.adjusted(44, 0, -12, 0), Qt::AlignLeft | Qt::AlignVCenter,
              QString::fromStdString(view.latest_entry));
  }
  if (view.library_missing) {
    p.setPen(colour::kHeart);
    p.setFont(ui_fonts().font(FontRole::Caption));
    draw_text(p, library_area(), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(view.library_path));
  }
}

void HeartRatePage::paint_results(QPainter& p, int top) {
  const std::vector<HeartLog> entries = monitor_ ? monitor_->results().entries() : std::vector<HeartLog>{};
  delete_marks_.assign(entries.size(), QRect());
  cards_.assign(entries.size(), QRect());
  drawn_entries_ = entries;
  const int columns_fit = std::max(1, (width() - 2 * kMargin + kCardGap) / (kCardWidth + kCardGap));
  const int columns = static_cast<int>((entries.size() + kCardsPerColumn - 1) / kCardsPerColumn);
  first_column_ = std::clamp(first_column_, 0, std::max(0, columns - columns_fit));

  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int column = static_cast<int>(i) / kCardsPerColumn - first_column_;
    if (column < 0 || column >= columns_fit) continue;
    const int row = static_cast<int>(i) % kCardsPerColumn;
    const QRect card(kMargin + column * (kCardWidth + kCardGap), top + row * kCardStep, kCardWidth,
                     kCardHeight);
    cards_[i] = card;
    QPainterPath path;
    path.addRoundedRect(QRectF(card), 8, 8);
    p.fillPath(path, colour::kBackground);
    p.fillRect(QRect(card.left(), card.top() + 8, 3, card.height() - 16), colour::kHeart);
    p.setPen(colour::kInk);
    p.setFont(sized(FontRole::Body, 14));
    draw_text(p, QRect(card.left() + 12, card.top(), 130, card.height()), Qt::AlignLeft | Qt::AlignVCenter,
              QString::fromStdString(entries[i].text));
    p.setPen(colour::kHeart.darker(115));
    p.setFont(sized(FontRole::Heading, 18));
    draw_text(p, QRect(card.left() + 136, card.top(), 42, card.height()), Qt::AlignRight | Qt::AlignVCenter,
              QString::number(entries[i].bpm));
    p.setFont(ui_fonts().font(FontRole::Unit));
    p.drawText(QRect(card.left() + 180, card.top() + 3, 30, card.height()), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(user_text::kBpmUnit));
    // The delete mark: a round button in the card's top-right corner.
    const QRect mark(card.right() - 17, card.top() - 5, 20, 20);
    delete_marks_[i] = mark;
    p.setPen(QPen(colour::kCard, 1.5));
    p.setBrush(colour::kMutedInk);
    p.drawEllipse(mark);
    p.setPen(QPen(colour::kCard, 1.8, Qt::SolidLine, Qt::RoundCap));
    const QRectF x = QRectF(mark).adjusted(6.5, 6.5, -6.5, -6.5);
    p.drawLine(x.topLeft(), x.bottomRight());
    p.drawLine(x.topRight(), x.bottomLeft());
  }
  if (columns > columns_fit) {
    // More columns than fit: a thin bar shows where the view stands; the wheel moves it.
    const QRect track(kMargin, height() - 14, width() - 2 * kMargin, 4);
    p.fillRect(track, colour::kCardBorder);
    const int thumb_w = track.width() * columns_fit / columns;
    p.fillRect(QRect(track.left() + track.width() * first_column_ / columns, track.top(), thumb_w, 4),
               colour::kAccent);
  }
}

int HeartRatePage::delete_mark_at(QPoint pos) const {
  if (!showing_results()) return -1;
  for (std::size_t i = 0; i < delete_marks_.size(); ++i)
    if (!delete_marks_[i].isNull() && delete_marks_[i].contains(pos)) return static_cast<int>(i);
  return -1;
}

void HeartRatePage::sync_card_controls() {
  const bool results = showing_results();
  for (std::size_t i = card_controls_.size(); i < delete_marks_.size(); ++i) {
    // Tab goes from the view switch through the cards, each followed by its delete mark.
    QWidget* before = i == 0 ? static_cast<QWidget*>(toggle_button_) : mark_controls_.back();
    auto* card = new DrawnControl(QString(), this);
    auto* mark = new DrawnControl(QString(), this);
    connect(mark, &DrawnControl::clicked, this, [this, i] { delete_drawn_entry(static_cast<int>(i)); });
    QWidget::setTabOrder(before, card);
    QWidget::setTabOrder(card, mark);
    card_controls_.push_back(card);
    mark_controls_.push_back(mark);
  }
  for (std::size_t i = 0; i < card_controls_.size(); ++i) {
    const bool shown = results && i < delete_marks_.size() && !delete_marks_[i].isNull();
    if (shown) {
      const HeartLog& entry = drawn_entries_[i];
      const QString text = QString::fromStdString(entry.text);
      card_controls_[i]->setText(text + QStringLiteral(", ") + QString::number(entry.bpm) +
                                 QStringLiteral(" ") + QString::fromUtf8(user_text::kBpmUnit));
      mark_controls_[i]->setText(shown_text(user_text::kDeleteMark) + QStringLiteral(" ") + text);
      card_controls_[i]->setGeometry(cards_[i]);
      mark_controls_[i]->setGeometry(delete_marks_[i]);
    }
    card_controls_[i]->setVisible(shown);
    mark_controls_[i]->setVisible(shown);
  }
}

void HeartRatePage::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !monitor_) return;
  delete_drawn_entry(delete_mark_at(event->position().toPoint()));
}

void HeartRatePage::delete_drawn_entry(int index) {
  // The marks are forgotten after each deletion until the next paint: a stale press does nothing.
  if (index < 0 || !monitor_ || static_cast<std::size_t>(index) >= drawn_entries_.size()) return;
  // The list may have changed since the paint (a new result goes in at the front): the entry under the
  // mark is looked up again, so the card the user pressed is the one that goes.
  const std::vector<HeartLog> now = monitor_->results().entries();
  const auto it = std::find(now.begin(), now.end(), drawn_entries_.at(static_cast<std::size_t>(index)));
  // A deletion that cannot be saved still holds in memory; that list stays the only copy until a later
  // save succeeds.
  if (it != now.end()) static_cast<void>(monitor_->delete_result(static_cast<std::size_t>(it - now.begin())));
  // The cards below move up: until the next paint no mark is known, so a quick second press cannot
  // hit a card that is no longer under it.
  delete_marks_.clear();
  drawn_entries_.clear();
  update();
}

void HeartRatePage::mouseMoveEvent(QMouseEvent* event) {
  setCursor(delete_mark_at(event->position().toPoint()) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void HeartRatePage::wheelEvent(QWheelEvent* event) {
  if (!showing_results()) return;
  first_column_ += event->angleDelta().y() < 0 ? 1 : -1;
  update();
}

}  // namespace corvane
