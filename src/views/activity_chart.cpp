#include "views/activity_chart.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "views/font_table.h"
#include "views/palette.h"

namespace corvane {
namespace {

namespace colour = palette_colour;
constexpr int kAxisLeft = 52;    // room for the click labels
constexpr int kAxisRight = 56;   // room for the metre labels
constexpr int kAxisBottom = 26;  // room for the hour or day labels
constexpr int kDivisions = 5;

// The plot inside the chart's area (without the axis labels).
QRect plot_of(const QRect& area) {
  return area.adjusted(kAxisLeft, 8, -kAxisRight, -kAxisBottom);
}

QString count_text(double v) {
  return QLocale(QLocale::English).toString(static_cast<qlonglong>(std::llround(v)));
}

}  // namespace

QString metres_text(double metres) {
  return QString::number(metres, 'f', 2);
}

int activity_chart_bar_at(const QRect& area, int bars, QPoint pos) {
  const QRect plot = plot_of(area);
  if (bars <= 0 || !plot.adjusted(0, 0, 0, kAxisBottom).contains(pos)) return -1;
  const double slot = static_cast<double>(plot.width()) / bars;
  return std::clamp(static_cast<int>((pos.x() - plot.left()) / slot), 0, bars - 1);
}

void draw_activity_chart(QPainter& p, const QRect& area, const ActivityFigures& f,
                         const ActivityChartStyle& style) {
  const QRect plot = plot_of(area);
  const int bars = static_cast<int>(f.bar_clicks.size());
  if (bars == 0) return;
  const double max_clicks = static_cast<double>(*std::max_element(f.bar_clicks.begin(), f.bar_clicks.end()));
  const double max_travel = *std::max_element(f.bar_travel_m.begin(), f.bar_travel_m.end());
  // At least one press per division, so that small counts still get whole-number labels.
  const double click_top = nice_axis_top(std::max(max_clicks, static_cast<double>(kDivisions)));
  const double travel_top = nice_axis_top(std::max(max_travel, 0.05));

  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  // Grid and axis labels.
  p.setFont(ui_fonts().font(FontRole::Caption));
  for (int i = 0; i <= kDivisions; ++i) {
    const int y = plot.bottom() - static_cast<int>(std::lround(plot.height() * i / double(kDivisions)));
    p.setPen(QPen(i == 0 ? colour::kMutedInk : colour::kCardBorder, 1));
    p.drawLine(plot.left(), y, plot.right(), y);
    p.setPen(colour::kData.darker(135));
    p.drawText(QRect(area.left(), y - 9, kAxisLeft - 8, 18), Qt::AlignRight | Qt::AlignVCenter,
               count_text(click_top * i / kDivisions));
    p.setPen(colour::kAccent);
    const double m = travel_top * i / kDivisions;
    p.drawText(QRect(plot.right() + 8, y - 9, kAxisRight - 8, 18), Qt::AlignLeft | Qt::AlignVCenter,
               m == 0 ? QStringLiteral("0") : QString::number(m, 'g', 3) + QStringLiteral("m"));
  }

  // Bars of presses.
  const double slot = static_cast<double>(plot.width()) / bars;
  const double bar_w = std::max(2.0, slot * 0.62);
  for (int i = 0; i < bars; ++i) {
    const double h =
        plot.height() * static_cast<double>(f.bar_clicks[static_cast<std::size_t>(i)]) / click_top;
    const QRectF bar(plot.left() + slot * i + (slot - bar_w) / 2, plot.bottom() - h, bar_w, h);
    QColor fill = colour::kData;
    if (style.highlight >= 0 && i != style.highlight) fill.setAlpha(170);
    QPainterPath path;
    path.addRoundedRect(bar.adjusted(0, 0, 0, 3), std::min(3.0, bar_w / 2), std::min(3.0, bar_w / 2));
    p.save();
    p.setClipRect(QRectF(plot.left(), plot.top() - 2, plot.width(), plot.height() + 2));
    p.fillPath(path, fill);
    p.restore();
    // Regular labels give way to the highlighted bar's own label beside them.
    const bool beside_highlight = style.highlight >= 0 && std::abs(i - style.highlight) == 1;
    if ((i % style.label_every == 0 && !beside_highlight) || i == style.highlight) {
      p.setPen(i == style.highlight ? colour::kInk : colour::kMutedInk);
      p.drawText(QRectF(plot.left() + slot * i - 12, plot.bottom() + 4, slot + 24, 18), Qt::AlignCenter,
                 QString::number(i + style.first_label) + style.unit_suffix);
    }
  }

  // The travel line with a dot per bar.
  QPolygonF line;
  for (int i = 0; i < bars; ++i) {
    const double h = plot.height() * f.bar_travel_m[static_cast<std::size_t>(i)] / travel_top;
    line << QPointF(plot.left() + slot * (i + 0.5), plot.bottom() - h);
  }
  p.setPen(QPen(colour::kAccent, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(line);
  p.setPen(QPen(colour::kCard, 1.5));
  p.setBrush(colour::kAccent);
  for (const QPointF& pt : line)
    p.drawEllipse(pt, 3.5, 3.5);
  p.restore();
}

}  // namespace corvane
