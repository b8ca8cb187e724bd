#include "views/page_widget.h"

#include <QPainter>
#include <QPainterPath>

#include "views/font_table.h"
#include "views/palette.h"
#include "views/ui_texts.h"

namespace corvane {

PageWidget::PageWidget(int heading_text, QWidget* parent) : QWidget(parent), heading_text_(heading_text) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  hide();
}

void PageWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath card;
  card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
  p.fillPath(card, palette_colour::kCard);
  p.setPen(QPen(palette_colour::kCardBorder, 1));
  p.drawPath(card);

  p.setPen(palette_colour::kInk);
  p.setFont(ui_fonts().font(FontRole::Heading));
  const QRect heading_rect(24, 16, width() - 48, 40);
  p.drawText(heading_rect, Qt::AlignLeft | Qt::AlignVCenter, heading().replace(u'\n', u' '));
  p.setPen(QPen(palette_colour::kAccent, 3));
  p.drawLine(24, 60, 84, 60);
  paint_content(p, 76);
}

void PageWidget::paint_content(QPainter&, int) {}

QString PageWidget::heading() const {
  return ui_text(heading_text_);
}

}  // namespace corvane
