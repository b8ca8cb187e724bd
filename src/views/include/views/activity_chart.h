#pragma once

#include <QRect>

#include "views/activity_figures.h"

class QPainter;

namespace corvane {

// The status page's chart: one bar of presses per hour or day, the travel as a line over it, the click
// axis on the left and the metres on the right.
struct ActivityChartStyle {
  int first_label = 0;  // 0 for hours (0-23), 1 for days of a month (1-31)
  int label_every = 3;  // label every n-th bar
  int highlight = -1;   // a bar drawn stronger (the current hour or today), -1 for none
  QString unit_suffix;  // after the bar labels: "時" or "日"
};

void draw_activity_chart(QPainter& p, const QRect& area, const ActivityFigures& figures,
                         const ActivityChartStyle& style);

//! The bar under `pos` in a chart drawn into `area` with `bars` bars, or -1.
int activity_chart_bar_at(const QRect& area, int bars, QPoint pos);

//! Metres with two decimals ("12.34").
QString metres_text(double metres);

}  // namespace corvane
