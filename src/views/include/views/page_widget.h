#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace corvane {

// Common frame of the three pages that sit in the main window's tab area: a white card with a heading.
// Each page lives from start-up to exit, hidden until the main window makes it current.
//
// The frame (card, heading and whatever a page adds with paint_static) is drawn once into a pixmap and
// copied from there on every paint, so that a page which repaints a small region many times a second
// pays for that region only.
class PageWidget : public QWidget {
  Q_OBJECT
 public:
  PageWidget(int heading_text, QWidget* parent);

  //! The index of the user-interface text the page shows as its heading.
  int heading_text() const { return heading_text_; }
  //! The heading as drawn; a page whose heading changes with what it shows overrides this.
  virtual QString heading() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  //! Draws the parts of the page that stay while it shows the same thing into the cached frame, below
  //! the heading; `top` is the first free line.
  virtual void paint_static(class QPainter& painter, int top);
  //! Draws the page's content below the heading, over the frame; `top` is the first free line.
  virtual void paint_content(class QPainter& painter, int top);
  //! What paint_static draws has changed: the frame is drawn anew at the next paint.
  void invalidate_frame() { frame_ = QPixmap(); }
  //! The region the paint under way repaints (its bounding rectangle): what lies outside need not be
  //! drawn.
  const QRect& exposed() const { return exposed_; }

  static constexpr int kContentTop = 76;  // the first line under the heading

 private:
  void draw_frame();
  void paint_frame(QPainter& p);  // the card, the heading and the page's static parts

  int heading_text_;
  QPixmap frame_;           // null when it must be drawn anew
  QString framed_heading_;  // the heading the frame holds
  QRect exposed_;
};

}  // namespace corvane
