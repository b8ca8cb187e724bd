#include "support/without_threads.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <system_error>
#include <thread>

namespace corvane::testing {

int run_without_threads(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return kCannotBlockThreads;
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(kCannotBlockThreads);
    const rlimit none{0, 0};
    if (::setrlimit(RLIMIT_NPROC, &none) != 0) ::_exit(kCannotBlockThreads);
    try {
      std::thread([] {}).join();
      ::_exit(kCannotBlockThreads);
    } catch (const std::system_error&) {
    }
    ::_exit(body());
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace corvane::testing
