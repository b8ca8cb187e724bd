#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

#include "base/reports.h"
#include "replay/capture.h"

namespace corvane {

// Plays a capture in real time on the Qt event loop: each report is handed to the sink when its t_ms
// has passed since start(). With looping on (the demo), the capture starts over after its last report.
class ReplayPlayer final : public QObject {
  Q_OBJECT
 public:
  ReplayPlayer(std::vector<CaptureEntry> entries, ReportSink& sink, QObject* parent = nullptr);

  void set_looping(bool looping) { looping_ = looping; }
  void start();
  std::size_t delivered() const { return delivered_; }

 signals:
  void finished();

 private:
  void play_due();

  std::vector<CaptureEntry> entries_;
  ReportSink& sink_;
  QElapsedTimer elapsed_;
  QTimer timer_;
  std::size_t next_ = 0;
  std::size_t delivered_ = 0;
  qint64 offset_ms_ = 0;  // where the current pass started, for looping
  bool looping_ = false;
};

}  // namespace corvane
