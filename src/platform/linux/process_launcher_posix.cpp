#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include "platform/process_launcher.h"

extern char** environ;

namespace corvane {
namespace {

using SteadyClock = std::chrono::steady_clock;

int status_code(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class PosixChild final : public ChildProcess {
 public:
  explicit PosixChild(pid_t pid) : pid_(pid) {
    // A descriptor that becomes readable when the child ends lets a wait wake at once; kernels before
    // 5.3 have none, and the wait then looks every few milliseconds.
#ifdef SYS_pidfd_open
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#endif
  }

  ~PosixChild() override {
    if (pidfd_ >= 0) ::close(pidfd_);
    if (ended_) return;
    // Still running: it goes on by itself, but its exit status must be collected or it stays a zombie
    // for the life of our process; a detached thread does that without touching the process-wide SIGCHLD.
    try {
      std::thread([pid = pid_] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    } catch (const std::system_error&) {
      // The program runs; only its exit status stays uncollected (a zombie until we exit).
    }
  }

  std::optional<int> wait_for(std::chrono::milliseconds bound) override {
    if (ended_) return status_;
    const auto deadline = SteadyClock::now() + bound;
    for (;;) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) return collected(status_code(status));
      if (done < 0 && errno != EINTR) return collected(127);  // not ours to wait for any more
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
      if (left.count() <= 0) return std::nullopt;
      if (pidfd_ >= 0) {
        pollfd entry{pidfd_, POLLIN, 0};
        ::poll(&entry, 1, static_cast<int>(std::min<std::int64_t>(left.count(), 60'000)));
      } else {
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(10)));
      }
    }
  }

  void kill() override {
    if (ended_) return;
    // The tool leads a process group of its own, so helpers it started end with it.
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    collected(status_code(status));
  }

 private:
  int collected(int status) {
    ended_ = true;
    status_ = status;
    return status;
  }

  pid_t pid_;
  int pidfd_ = -1;
  bool ended_ = false;
  int status_ = 0;
};

}  // namespace

Result<std::unique_ptr<ChildProcess>> ChildProcess::start(const std::filesystem::path& program,
                                                          const std::vector<std::string>& args) {
  const std::string path = program.string();
  // access() first gives a clear message for the common case; posix_spawn below still reports the rest
  // (glibc's posix_spawn returns the exec error of the child).
  if (::access(path.c_str(), X_OK) != 0) return fail("cannot start " + path + ": " + std::strerror(errno));
  std::error_code ec;
  if (std::filesystem::is_directory(program, ec))
    return fail("cannot start " + path + ": " + std::strerror(EISDIR));
  std::vector<std::string> storage;
  storage.reserve(args.size() + 1);
  storage.push_back(path);
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& s : storage)
    argv.push_back(s.data());
  argv.push_back(nullptr);

  // The tool starts clean: stdin from /dev/null (it runs in the background), no blocked signals and
  // default signal actions, whatever the thread that starts it had set up; and in a process group of
  // its own, so that ending it ends what it started.
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, path.c_str(), &files, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&files);
  if (rc != 0) return fail("cannot start " + path + ": " + std::strerror(rc));
  return std::unique_ptr<ChildProcess>(std::make_unique<PosixChild>(pid));
}

}  // namespace corvane
