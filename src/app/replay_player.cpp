#include "app/replay_player.h"

#include "engine/headless.h"

namespace corvane {

ReplayPlayer::ReplayPlayer(std::vector<CaptureEntry> entries, ReportSink& sink, QObject* parent)
    : QObject(parent), entries_(std::move(entries)), sink_(sink) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &ReplayPlayer::play_due);
}

void ReplayPlayer::start() {
  elapsed_.start();
  next_ = 0;
  offset_ms_ = 0;
  play_due();
}

void ReplayPlayer::play_due() {
  for (;;) {
    const qint64 now = elapsed_.elapsed();
    while (next_ < entries_.size() && offset_ms_ + entries_[next_].t_ms <= now) {
      deliver(entries_[next_], sink_);
      ++next_;
      ++delivered_;
    }
    if (next_ < entries_.size()) {
      timer_.start(static_cast<int>(offset_ms_ + entries_[next_].t_ms - now));
      return;
    }
    if (!looping_ || entries_.empty()) {
      emit finished();
      return;
    }
    // Start the next pass a second after the last report, so a loop never delivers two reports at once.
    offset_ms_ += entries_.back().t_ms + 1000;
    next_ = 0;
  }
}

}  // namespace corvane
