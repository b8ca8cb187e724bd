#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace corvane {

// SIGTERM, SIGINT and SIGHUP (logout, `kill`, Ctrl+C in a terminal) end the program through its normal
// exit path, so the day is saved. The handler only writes a byte into a pipe; the event loop reads it.
class PosixSignals final : public QObject {
  Q_OBJECT
 public:
  explicit PosixSignals(QObject* parent = nullptr);
  ~PosixSignals() override;

 signals:
  void termination_requested();

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
  int fds_[2] = {-1, -1};
};

}  // namespace corvane
