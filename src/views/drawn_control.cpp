#include "views/drawn_control.h"

#include <QKeyEvent>
#include <QPainter>

#include "views/palette.h"

namespace corvane {

DrawnControl::DrawnControl(const QString& name, QWidget* parent) : QAbstractButton(parent) {
  setText(name);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::TabFocus);
}

void DrawnControl::paintEvent(QPaintEvent*) {
  if (!hasFocus()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(palette_colour::kAccent, 2, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
}

void DrawnControl::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      click();
      break;
    case Qt::Key_Left:
    case Qt::Key_Up:
      focusNextPrevChild(false);
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      focusNextPrevChild(true);
      break;
    default:
      QAbstractButton::keyPressEvent(event);  // Space presses and releases the button
  }
}

SpokenText::SpokenText(QWidget* parent) : QLabel(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

}  // namespace corvane
