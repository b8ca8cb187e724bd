#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include "platform/process_launcher.h"

extern char** environ;

namespace corvane {

Result<void> launch_detached(const std::filesystem::path& program, const std::vector<std::string>& args) {
  const std::string path = program.string();
  // access() first gives a clear message for the common case; posix_spawn below still reports the rest
  // (glibc's posix_spawn returns the exec error of the child).
  if (::access(path.c_str(), X_OK) != 0) {
    return fail("cannot start " + path + ": " + std::strerror(errno));
  }
  std::vector<std::string> storage;
  storage.reserve(args.size() + 1);
  storage.push_back(path);
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& s : storage)
    argv.push_back(s.data());
  argv.push_back(nullptr);

  // The tool starts clean: stdin from /dev/null (it runs in the background), no blocked signals and
  // default signal actions, whatever the thread that starts it had set up.
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
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, path.c_str(), &files, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&files);
  if (rc != 0) return fail("cannot start " + path + ": " + std::strerror(rc));

  // The program is not waited on, but its exit status must be collected or it stays a zombie for the
  // life of our process; a detached thread does that without touching the process-wide SIGCHLD.
  try {
    std::thread([pid] {
      int status = 0;
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // The program runs; only its exit status stays uncollected (a zombie until we exit).
  }
  return {};
}

}  // namespace corvane
