#include "views/page_widget.h"

#include <QEvent>
#include <QPaintEngine>
#include <QPaintEvent>
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

void PageWidget::draw_frame() {
  const qreal dpr = devicePixelRatioF();
  frame_ = QPixmap(size() * dpr);
  frame_.setDevicePixelRatio(dpr);
  frame_.fill(Qt::transparent);
  framed_heading_ = heading();
  QPainter p(&frame_);
  paint_frame(p);
}

void PageWidget::paint_frame(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QPainterPath card;
  card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
  p.fillPath(card, palette_colour::kCard);
  p.setPen(QPen(palette_colour::kCardBorder, 1));
  p.drawPath(card);

  p.setPen(palette_colour::kInk);
  p.setFont(ui_fonts().font(FontRole::Heading));
  const QRect heading_rect(24, 16, width() - 48, 40);
  p.drawText(heading_rect, Qt::AlignLeft | Qt::AlignVCenter, QString(heading()).replace(u'\n', u' '));
  p.setPen(QPen(palette_colour::kAccent, 3));
  p.drawLine(24, 60, 84, 60);
  paint_static(p, kContentTop);
}

void PageWidget::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const QRect dirty = event->rect();
  exposed_ = dirty;
  if (p.paintEngine()->type() == QPaintEngine::Raster) {
    // The heading may follow what the page shows (a chosen day, the results view).
    const qreal dpr = devicePixelRatioF();
    if (frame_.isNull() || frame_.devicePixelRatio() != dpr || frame_.size() != size() * dpr ||
        framed_heading_ != heading())
      draw_frame();
    p.drawPixmap(dirty, frame_,
                 QRectF(dirty.x() * dpr, dirty.y() * dpr, dirty.width() * dpr, dirty.height() * dpr));
  } else {
    // A printer, a PDF or a reader of the drawn texts gets the frame's texts as texts, not as a picture.
    p.save();
    paint_frame(p);
    p.restore();
  }
  p.setRenderHint(QPainter::Antialiasing);
  paint_content(p, kContentTop);
}

void PageWidget::changeEvent(QEvent* event) {
  // Texts and fonts of the frame follow the desktop's.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::LanguageChange ||
      event->type() == QEvent::PaletteChange)
    invalidate_frame();
  QWidget::changeEvent(event);
}

void PageWidget::paint_static(QPainter&, int) {}

void PageWidget::paint_content(QPainter&, int) {}

QString PageWidget::heading() const {
  return ui_text(heading_text_);
}

}  // namespace corvane
