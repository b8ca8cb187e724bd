#pragma once

#include <QPixmap>
#include <QWidget>

namespace corvane {

class HeartMonitor;

// The heart page's waveform: the newest readings with their beat marks, in a box of its own. An opaque
// child of the page, so that a new frame repaints this strip and nothing under or around it.
class WaveformStrip final : public QWidget {
  Q_OBJECT
 public:
  explicit WaveformStrip(QWidget* parent);

  //! The heart side whose readings are drawn; null draws an empty box.
  void set_monitor(const HeartMonitor* monitor) { monitor_ = monitor; }

  //! Readings per waveform (ten seconds at 20 per second).
  static constexpr int kPoints = 200;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void draw_box();

  const HeartMonitor* monitor_ = nullptr;
  QPixmap box_;  // the box and its grid, drawn anew when the size changes
};

}  // namespace corvane
