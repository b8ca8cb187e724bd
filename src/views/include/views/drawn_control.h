#pragma once

#include <QAbstractButton>
#include <QLabel>

namespace corvane {

// The keyboard's and the screen reader's side of a control the window or a page draws itself (a tile,
// a tab, a card, a delete mark): a button without a picture of its own that lies over the drawing.
// Mouse events pass through it to the widget that draws, so hover and clicks stay as they were; Tab
// and the arrow keys reach it, it draws a focus ring while it has the focus, and Enter or Space
// activates it (clicked()). Its text is the name a screen reader announces.
class DrawnControl final : public QAbstractButton {
  Q_OBJECT
 public:
  DrawnControl(const QString& name, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// A text a page draws itself and a screen reader should read, and hear change (the heart-rate
// readout and message): a label that paints nothing over the drawing. Setting a new text tells the
// screen reader (Qt sends the name change).
class SpokenText final : public QLabel {
  Q_OBJECT
 public:
  explicit SpokenText(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override {}
};

}  // namespace corvane
