#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace corvane {

// One running program per data folder. The first start takes a lock file in the data folder
// (".corvane.lock") and listens on a local socket named after the folder and the user; a later start finds
// the lock held and either ends at once or, with
// "/close", asks the running one to end. A lock or socket left behind by a crashed program is taken
// over (the lock file names the process that held it; a dead one's lock is stale).
class SingleInstance final : public QObject {
  Q_OBJECT
 public:
  //! The message a "/close" start sends; the running program answers by closing the connection when
  //! it has saved and is about to end.
  static constexpr const char* kCloseMessage = "close\n";

  explicit SingleInstance(const QString& data_folder, QObject* parent = nullptr);
  ~SingleInstance() override;

  enum class Claim {
    First,           // this process is the running program; close_requested() may follow
    AlreadyRunning,  // another process holds the data folder
    Failed,          // neither lock nor socket could be made (error() says why)
  };
  Claim claim();
  QString error() const { return error_; }

  //! The running program of `data_folder` is asked to end; waits until it has (its connection closes)
  //! or `timeout_ms` passed. False when no program runs there or it did not answer.
  static bool send_close(const QString& data_folder, int timeout_ms = 15000);

  static QString lock_path(const QString& data_folder);
  static QString server_name(const QString& data_folder);

  //! Ends the connection of a close request once the program has done its exit work.
  void acknowledge_close();

 signals:
  void close_requested();

 private:
  void on_new_connection();

  QString data_folder_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer server_;
  QString error_;
  QList<class QLocalSocket*> closing_;
};

}  // namespace corvane
