#include "app/posix_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace corvane {
namespace {

int g_write_fd = -1;

void on_signal(int) {
  if (g_write_fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_write_fd, &byte, 1);
  }
}

}  // namespace

PosixSignals::PosixSignals(QObject* parent) : QObject(parent) {
  if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_write_fd = fds_[1];
  notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    while (::read(fds_[0], buffer, sizeof buffer) > 0) {
    }
    emit termination_requested();
  });
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP})
    ::sigaction(sig, &action, nullptr);
}

PosixSignals::~PosixSignals() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  for (int sig : {SIGTERM, SIGINT, SIGHUP})
    ::sigaction(sig, &action, nullptr);
  g_write_fd = -1;
  notifier_.reset();
  for (int fd : fds_)
    if (fd >= 0) ::close(fd);
}

}  // namespace corvane
