#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace corvane {
namespace {

// The same folder named in different ways (relative, with "..", through a link) is one instance.
QString canonical_folder(const QString& folder) {
  const QFileInfo info(folder);
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

unsigned user_number() {
#ifdef _WIN32
  return 0;  // local sockets are per session there
#else
  return ::getuid();
#endif
}

QString folder_key(const QString& folder) {
  const QByteArray hash =
      QCryptographicHash::hash(canonical_folder(folder).toUtf8(), QCryptographicHash::Sha256)
          .toHex()
          .left(16);
  return QStringLiteral("corvane-%1-%2").arg(user_number()).arg(QString::fromLatin1(hash));
}

}  // namespace

SingleInstance::SingleInstance(const QString& data_folder, QObject* parent)
    : QObject(parent), data_folder_(data_folder) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::on_new_connection);
}

SingleInstance::~SingleInstance() {
  server_.close();
  if (lock_) lock_->unlock();
}

QString SingleInstance::lock_path(const QString& data_folder) {
  // In the data folder itself: every start on that folder finds it, whatever its environment says.
  return QDir(canonical_folder(data_folder)).filePath(QStringLiteral(".corvane.lock"));
}

QString SingleInstance::server_name(const QString& data_folder) {
  return folder_key(data_folder);
}

SingleInstance::Claim SingleInstance::claim() {
  lock_ = std::make_unique<QLockFile>(lock_path(data_folder_));
  // Never stale by age: a program may run for months. A lock whose process is gone is stale at once.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    if (lock_->error() == QLockFile::LockFailedError) return Claim::AlreadyRunning;
    error_ = QStringLiteral("cannot create the lock file %1").arg(lock_path(data_folder_));
    return Claim::Failed;
  }
  // We hold the lock, so a socket of that name can only be a crashed program's leftover.
  const QString name = server_name(data_folder_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(name)) {
    QLocalServer::removeServer(name);
    if (!server_.listen(name)) {
      error_ = QStringLiteral("cannot listen on %1: %2").arg(name, server_.errorString());
      return Claim::Failed;
    }
  }
  return Claim::First;
}

void SingleInstance::on_new_connection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        const QByteArray line = socket->readLine();
        if (line == kCloseMessage && !closing_.contains(socket)) {
          closing_.append(socket);
          emit close_requested();
        }
      }
      if (socket->bytesAvailable() > 256) socket->abort();  // nobody talks to us at length
    });
  }
}

void SingleInstance::acknowledge_close() {
  for (QLocalSocket* socket : std::as_const(closing_)) {
    socket->write("ok\n");
    socket->flush();
    socket->disconnectFromServer();
  }
  closing_.clear();
}

bool SingleInstance::send_close(const QString& data_folder, int timeout_ms) {
  const QDeadlineTimer deadline(timeout_ms);
  QLocalSocket socket;
  // The lock is taken before the socket listens: a program that is just starting may not listen yet.
  for (;;) {
    socket.connectToServer(server_name(data_folder));
    if (socket.waitForConnected(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) break;
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);
  }
  socket.write(kCloseMessage);
  if (!socket.waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) return false;
  // The program closes the connection when it has saved and ends; its end closes it too.
  while (socket.state() == QLocalSocket::ConnectedState) {
    if (deadline.hasExpired()) return false;
    socket.waitForDisconnected(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
  }
  return true;
}

}  // namespace corvane
