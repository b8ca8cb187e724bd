#pragma once

#include <QRect>
#include <QStringList>
#include <vector>

#include "engine/engine_listener.h"
#include "heart/heart_log.h"
#include "heart/heart_page_view.h"
#include "views/page_widget.h"

class QPushButton;
class QTimer;

namespace corvane {

class DrawnControl;
class HeartMonitor;
class WaveformStrip;
class SpokenText;

// The heart-rate page. The measurement view draws what the heart side decided (readout, message, hint,
// heart symbol, latest entry) and the recent readings as a waveform with the beat marks; the results
// view draws the measured heart rates (the heart side's history) as cards, ten per column, each with a
// delete mark. The button at the top right switches between the two ("データの履歴をみる" /
// "心拍測定画面へ").
//
// While the sensor streams (about 22 blocks a second) the page repaints only what a block changed: the
// waveform strip, at most kWaveformFps times a second however the blocks bunch up, and the readout, the
// heart symbol, the message or the latest entry when they differ from what was painted. The card, the
// heading and the disclaimer come from the frame PageWidget caches.
class HeartRatePage final : public PageWidget, private EngineListener {
  Q_OBJECT
 public:
  explicit HeartRatePage(QWidget* parent);
  ~HeartRatePage() override;  // detaches from the engine

  //! Connects the page to the heart side; it repaints whenever the engine's listeners hear that the
  //! heart side changed. Both must outlive the page.
  void attach(EngineListeners& listeners, HeartMonitor& monitor);

  QString heading() const override;
  //! The heart side the page draws; null before attach().
  HeartMonitor* monitor() const { return monitor_; }
  //! True while the results view is shown rather than the measurement.
  bool showing_results() const;
  //! What the toggle button does.
  void toggle_view();

  //! The texts the last paint drew, in order (for checks without reading pixels).
  const QStringList& drawn_texts() const { return drawn_texts_; }
  //! Whether the last paint drew the heart symbol lit.
  bool heart_drawn_lit() const { return heart_lit_; }
  //! The delete marks of the cards the last paint drew, by entry index.
  const std::vector<QRect>& delete_marks() const { return delete_marks_; }
  //! The most waveform frames a second: smooth to the eye, and no more work than that.
  static constexpr int kWaveformFps = 20;
  //! The waveform strip, in page coordinates.
  QRect waveform_area() const;
  //! The child that draws the waveform.
  QWidget* waveform_strip() const;
  //! The keyboard's and the screen reader's side of the cards and their delete marks, by entry index
  //! (as many as the results view showed at most; those of cards not shown are hidden).
  const std::vector<DrawnControl*>& card_controls() const { return card_controls_; }
  const std::vector<DrawnControl*>& delete_mark_controls() const { return mark_controls_; }
  //! The readout and the message as a screen reader reads them.
  const SpokenText* spoken_readout() const { return spoken_readout_; }
  const SpokenText* spoken_message() const { return spoken_message_; }

 protected:
  void paint_static(QPainter& p, int top) override;
  void paint_content(QPainter& p, int top) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void paint_measurement(QPainter& p);
  void paint_results(QPainter& p, int top);
  void draw_text(QPainter& p, const QRect& r, int flags, const QString& s);
  int delete_mark_at(QPoint pos) const;
  void delete_drawn_entry(int index);
  void sync_card_controls();
  void update_button();
  void on_heart_changed() override;

  // Where the measurement view draws each of its parts.
  QRect heart_area() const;
  QRect readout_area() const;
  QRect message_area() const;
  QRect hint_area() const;
  QRect latest_entry_area() const;
  QRect library_area() const;
  QRect disclaimer_area() const;

  EngineListeners* listeners_ = nullptr;
  HeartMonitor* monitor_ = nullptr;
  QPushButton* toggle_button_ = nullptr;
  WaveformStrip* waveform_ = nullptr;
  QTimer* waveform_frame_ = nullptr;  // runs while a waveform frame is due
  QStringList drawn_texts_;
  QStringList static_texts_;    // the texts the cached frame holds
  HeartPageView painted_view_;  // what the measurement view last painted
  bool heart_lit_ = false;
  std::vector<QRect> delete_marks_;      // index = entry index; empty rect when the card is not shown
  std::vector<QRect> cards_;             // like delete_marks_, the cards themselves
  std::vector<HeartLog> drawn_entries_;  // the entries the marks belong to, as last painted
  std::vector<DrawnControl*> card_controls_;
  std::vector<DrawnControl*> mark_controls_;
  SpokenText* spoken_readout_ = nullptr;
  SpokenText* spoken_message_ = nullptr;
  int first_column_ = 0;  // results view: columns scrolled past
};

}  // namespace corvane
