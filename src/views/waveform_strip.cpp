#include "views/waveform_strip.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <vector>

#include "heart/heart_monitor.h"
#include "views/palette.h"

namespace corvane {
namespace {

namespace colour = palette_colour;

// The heart colour over the strip's background at about a third of its strength.
const QColor kBeatLine{233, 185, 190};

}  // namespace

WaveformStrip::WaveformStrip(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("waveform"));
  // Every pixel is painted here (the page's card colour in the box's corners).
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WaveformStrip::draw_box() {
  const qreal dpr = devicePixelRatioF();
  box_ = QPixmap(size() * dpr);
  box_.setDevicePixelRatio(dpr);
  box_.fill(colour::kCard);
  QPainter p(&box_);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  box.addRoundedRect(QRectF(rect()), 10, 10);
  p.fillPath(box, colour::kBackground);
  const QRect plot = rect().adjusted(14, 16, -14, -16);
  p.setPen(QPen(colour::kCardBorder, 1, Qt::DashLine));
  for (int i = 1; i < 4; ++i)
    p.drawLine(plot.left(), plot.top() + plot.height() * i / 4, plot.right(),
               plot.top() + plot.height() * i / 4);
}

void WaveformStrip::paintEvent(QPaintEvent*) {
  const qreal dpr = devicePixelRatioF();
  if (box_.isNull() || box_.devicePixelRatio() != dpr || box_.size() != size() * dpr) draw_box();
  QPainter p(this);
  p.drawPixmap(0, 0, box_);

  const std::vector<WaveformPoint> points =
      monitor_ ? monitor_->waveform(kPoints) : std::vector<WaveformPoint>{};
  if (points.size() < 2) return;
  const QRect plot = rect().adjusted(14, 16, -14, -16);
  const auto [lo, hi] = std::minmax_element(
      points.begin(), points.end(),
      [](const WaveformPoint& a, const WaveformPoint& b) { return a.reading < b.reading; });
  const double min = lo->reading, range = std::max(1.0, static_cast<double>(hi->reading) - min);
  // The sensor's reading falls as the blood volume rises: drawn upside down, the pulse points up.
  const double step = static_cast<double>(plot.width()) / (kPoints - 1);
  const double x0 = plot.right() - step * static_cast<double>(points.size() - 1);
  QPolygonF line;
  std::vector<QPointF> beats;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const QPointF pt(x0 + step * static_cast<double>(i),
                     plot.top() + plot.height() * (points[i].reading - min) / range);
    line << pt;
    if (points[i].beat) beats.push_back(pt);
  }
  // A beat's mark: a one-pixel line of the heart colour a third of the way into the background, drawn
  // opaque and on whole pixels under the wave. Qt hands translucent or antialiased tall shapes to its
  // worker threads row block by row block, and waking them costs more than the drawing itself.
  for (const QPointF& b : beats)
    p.fillRect(QRect(qRound(b.x()), plot.top() - 2, 1, plot.height() + 2), kBeatLine);
  p.setRenderHint(QPainter::Antialiasing);
  // Three one-pixel lines, a pixel apart across and down, look like a two-pixel line and take Qt's
  // cheap path for thin lines: a wide antialiased stroke costs several times as much, 20 times a second.
  p.setPen(QPen(colour::kHeart, 1.0));
  p.drawPolyline(line);
  p.drawPolyline(line.translated(1, 0));
  p.drawPolyline(line.translated(0, 1));
  p.setPen(Qt::NoPen);
  p.setBrush(colour::kHeart.darker(130));
  for (const QPointF& b : beats)
    p.drawEllipse(QPointF(b.x(), plot.top() - 6), 4, 4);
}

}  // namespace corvane
