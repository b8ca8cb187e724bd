#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>
#include <QTest>
#include <QWidget>

namespace corvane::testing {

// Records where a shown widget is painted, to see what a change repaints. Qt merges the updates asked
// for before it paints, so once a one-pixel sentinel update in the widget's top-left corner has been
// painted, every update asked for before it has been painted too: settle() returns exactly what the
// widget repainted since the last call, without waiting a guessed time.
class PaintRecorder final : public QObject {
 public:
  static constexpr QPoint kSentinel{1, 1};

  explicit PaintRecorder(QWidget& widget) : widget_(widget) { widget_.installEventFilter(this); }
  ~PaintRecorder() override { widget_.removeEventFilter(this); }

  //! Waits until all updates asked for so far are painted; returns the region painted since the last
  //! call, with the sentinel pixel taken out. Empty when the sentinel never came (checked by the caller
  //! through `settled`).
  QRegion settle(bool* settled = nullptr) {
    widget_.update(QRect(kSentinel, QSize(1, 1)));
    const bool came = QTest::qWaitFor([this] { return painted_.contains(kSentinel); }, 10'000);
    if (settled) *settled = came;
    QRegion painted = painted_.subtracted(QRect(kSentinel, QSize(1, 1)));
    painted_ = QRegion();
    return painted;
  }
  //! The region painted since the last settle(), so far.
  const QRegion& painted() const { return painted_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &widget_ && event->type() == QEvent::Paint)
      painted_ += static_cast<QPaintEvent*>(event)->region();
    return false;
  }

 private:
  QWidget& widget_;
  QRegion painted_;
};

}  // namespace corvane::testing
