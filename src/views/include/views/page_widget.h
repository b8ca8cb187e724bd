#pragma once

#include <QString>
#include <QWidget>

namespace corvane {

// Common frame of the three pages that sit in the main window's tab area: a white card with a heading.
// Each page lives from start-up to exit, hidden until the main window makes it current.
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
  //! Draws the page's content below the heading; `top` is the first free line.
  virtual void paint_content(class QPainter& painter, int top);

 private:
  int heading_text_;
};

}  // namespace corvane
