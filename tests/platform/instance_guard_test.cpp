#include "platform/instance_guard.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Long enough for a loaded machine; the tests wait on events, never on the clock.
constexpr int kGenerousMs = 30'000;

bool readable(int fd, int timeout_ms) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, timeout_ms) > 0;
}

// Sets an environment variable for the life of the object, then puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A forked process that runs `body` (given a descriptor to report "ready" on) and ends with its result.
// One still running at the end of a test is killed.
class ChildProcess {
 public:
  explicit ChildProcess(const std::function<int(int ready_fd)>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(fds[0]);
      ::_exit(body(fds[1]));
    }
    ::close(fds[1]);
    ready_fd_ = fds[0];
  }
  ~ChildProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      exit_code();
    }
    if (ready_fd_ >= 0) ::close(ready_fd_);
  }

  bool became_ready() {
    char byte = 0;
    return readable(ready_fd_, kGenerousMs) && ::read(ready_fd_, &byte, 1) == 1;
  }
  void kill_now() { ::kill(pid_, SIGKILL); }
  // Waits for the end; 128 + the signal when one ended it.
  int exit_code() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int ready_fd_ = -1;
};

void report_ready(int fd) {
  if (::write(fd, "r", 1) != 1) ::_exit(90);
}

// A peer that talks to the guard's socket directly, as any program could.
class RawPeer {
 public:
  explicit RawPeer(const fs::path& socket) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    connected_ = ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawPeer() { ::close(fd_); }

  bool connected() const { return connected_; }
  void say(const std::string& text) {
    ASSERT_EQ(::send(fd_, text.data(), text.size(), MSG_NOSIGNAL), ssize_t(text.size()));
  }
  bool heard_anything() const { return readable(fd_, 0); }
  // True when the guard has closed this connection (with nothing left to read).
  bool was_dropped() const {
    char byte;
    return readable(fd_, 0) && ::recv(fd_, &byte, 1, MSG_DONTWAIT) <= 0;
  }
  std::string read_until_closed() {
    std::string text;
    char buffer[64];
    while (readable(fd_, kGenerousMs)) {
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

 private:
  int fd_;
  bool connected_ = false;
};

std::optional<fs::path> socket_in(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_socket()) return entry.path();
  return std::nullopt;
}

// Each test has a runtime folder of its own (the temporary folder is private, like the session's), so
// none of them meets a real program or another test.
class InstanceGuardTest : public ::testing::Test {
 protected:
  InstanceGuardTest() { fs::create_directory(data_); }

  testing::TempFolder root_;
  ScopedEnv runtime_{"XDG_RUNTIME_DIR", root_.path().string()};
  const fs::path data_ = root_ / "data";
};

TEST_F(InstanceGuardTest, folder_is_held_by_one_guard_under_every_name_until_it_ends) {
  fs::create_directory_symlink(data_, root_ / "link");
  ClaimResult first = InstanceGuard::claim(data_);
  ASSERT_EQ(first.outcome, ClaimOutcome::Claimed) << first.message;

  for (const fs::path& other : {root_ / "link", fs::relative(data_), data_ / "."}) {
    const ClaimResult second = InstanceGuard::claim(other);
    EXPECT_EQ(second.outcome, ClaimOutcome::HeldElsewhere) << other;
    EXPECT_EQ(second.guard, nullptr);
    // The user learns which folder and which process.
    EXPECT_NE(second.message.find(fs::canonical(data_).string()), std::string::npos) << second.message;
    EXPECT_NE(second.message.find("process " + std::to_string(::getpid())), std::string::npos)
        << second.message;
  }

  first.guard.reset();
  const ClaimResult after = InstanceGuard::claim(root_ / "link");
  EXPECT_EQ(after.outcome, ClaimOutcome::Claimed) << after.message;
}

TEST_F(InstanceGuardTest, killed_holder_leaves_the_folder_free_at_once) {
  ChildProcess holder([&](int ready_fd) {
    const ClaimResult held = InstanceGuard::claim(data_);
    if (held.outcome != ClaimOutcome::Claimed) return 1;
    report_ready(ready_fd);
    ::pause();
    return 0;
  });
  ASSERT_TRUE(holder.became_ready());
  EXPECT_EQ(InstanceGuard::claim(data_).outcome, ClaimOutcome::HeldElsewhere);

  holder.kill_now();
  EXPECT_EQ(holder.exit_code(), 128 + SIGKILL);
  // Its lock went with it; its socket file is still there and must not stand in the way.
  const ClaimResult after = InstanceGuard::claim(data_);
  EXPECT_EQ(after.outcome, ClaimOutcome::Claimed) << after.message;
}

TEST_F(InstanceGuardTest, close_returns_only_once_the_holder_saved_and_released_the_folder) {
  const fs::path saved = data_ / "day.json";
  ChildProcess holder([&](int ready_fd) {
    const ClaimResult held = InstanceGuard::claim(data_);
    if (held.outcome != ClaimOutcome::Claimed) return 1;
    report_ready(ready_fd);
    for (int wake_ups = 0;; ++wake_ups) {
      if (!readable(held.guard->listen_fd(), kGenerousMs)) return 2;  // the request never woke us
      if (wake_ups > 100) return 3;  // the descriptor stays ready though nothing is left to do
      if (held.guard->on_readable()) break;
    }
    std::ofstream(saved) << "the day";
    held.guard->acknowledge_close();
    // A program goes on a little after its answer (it tears down); the folder is not free before it ends.
    std::this_thread::sleep_for(300ms);
    return 0;
  });
  ASSERT_TRUE(holder.became_ready());
  fs::create_directory_symlink(data_, root_ / "link");

  const CloseResult closed = InstanceGuard::request_close(root_ / "link", 30s);
  ASSERT_EQ(closed.outcome, CloseOutcome::Closed) << closed.message;
  EXPECT_TRUE(fs::exists(saved));
  const ClaimResult next = InstanceGuard::claim(data_);
  EXPECT_EQ(next.outcome, ClaimOutcome::Claimed) << next.message;
  EXPECT_EQ(holder.exit_code(), 0);
}

TEST_F(InstanceGuardTest, lock_noted_by_another_machine_is_reported_and_taken_over_only_when_forced) {
  // A synced folder brings the other machine's note, but not its lock.
  std::ofstream(data_ / ".corvane.lock") << "4242 elsewhere.example 2026-12-08T09:15:00\n";
  const ClaimResult refused = InstanceGuard::claim(data_);
  EXPECT_EQ(refused.outcome, ClaimOutcome::HeldOnAnotherMachine);
  EXPECT_EQ(refused.guard, nullptr);
  EXPECT_NE(refused.message.find("in use on elsewhere.example since 2026-12-08 09:15"), std::string::npos)
      << refused.message;
  EXPECT_NE(refused.message.find("--force"), std::string::npos) << refused.message;
  EXPECT_EQ(refused.holder_host, "elsewhere.example");

  ClaimResult forced = InstanceGuard::claim(data_, true);
  ASSERT_EQ(forced.outcome, ClaimOutcome::Claimed) << forced.message;
  // Ending cleanly empties the note, so the other machine's next start needs no question.
  forced.guard.reset();
  EXPECT_EQ(fs::file_size(data_ / ".corvane.lock"), 0u);
  EXPECT_EQ(InstanceGuard::claim(data_).outcome, ClaimOutcome::Claimed);
}

TEST_F(InstanceGuardTest, close_with_nothing_running_says_so_at_once) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(InstanceGuard::request_close(data_, 30s).outcome, CloseOutcome::NothingRuns);
  EXPECT_FALSE(fs::exists(data_ / ".corvane.lock"));  // asking leaves nothing behind
  EXPECT_EQ(InstanceGuard::request_close(root_ / "no-such-folder", 30s).outcome, CloseOutcome::NothingRuns);
  // A program that ended leaves its lock file, unlocked.
  ASSERT_EQ(InstanceGuard::claim(data_).outcome, ClaimOutcome::Claimed);
  ASSERT_TRUE(fs::exists(data_ / ".corvane.lock"));
  EXPECT_EQ(InstanceGuard::request_close(data_, 30s).outcome, CloseOutcome::NothingRuns);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(InstanceGuardTest, close_request_waits_for_the_answer_and_strangers_are_dropped) {
  const ClaimResult held = InstanceGuard::claim(data_);
  ASSERT_EQ(held.outcome, ClaimOutcome::Claimed) << held.message;
  InstanceGuard& guard = *held.guard;
  const std::optional<fs::path> socket = socket_in(root_.path());
  ASSERT_TRUE(socket);

  // A requester may connect first and write later; its line must wake the loop all the same.
  RawPeer asking(*socket);
  ASSERT_TRUE(asking.connected());
  ASSERT_TRUE(readable(guard.listen_fd(), kGenerousMs));
  EXPECT_FALSE(guard.on_readable());
  EXPECT_FALSE(readable(guard.listen_fd(), 0));
  asking.say("close\n");
  ASSERT_TRUE(readable(guard.listen_fd(), kGenerousMs));
  EXPECT_TRUE(guard.on_readable());

  RawPeer chatty(*socket);
  chatty.say("status\n");
  RawPeer flooding(*socket);
  flooding.say(std::string(300, 'x'));
  for (int turn = 0; turn < 300 && !(chatty.was_dropped() && flooding.was_dropped()); ++turn)
    if (readable(guard.listen_fd(), 100)) {
      EXPECT_FALSE(guard.on_readable());
    }
  EXPECT_TRUE(chatty.was_dropped());
  EXPECT_TRUE(flooding.was_dropped());

  // The requester hears nothing until the exit work is done, then "ok" and the end of the connection.
  EXPECT_FALSE(asking.heard_anything());
  guard.acknowledge_close();
  EXPECT_EQ(asking.read_until_closed(), "ok\n");
}

TEST_F(InstanceGuardTest, socket_folder_others_could_enter_is_refused) {
  // A runtime folder others may enter is passed over for a folder of this user's in TMPDIR.
  const fs::path open_runtime = root_ / "open-runtime";
  fs::create_directory(open_runtime);
  fs::permissions(open_runtime, fs::perms::all);
  ScopedEnv runtime("XDG_RUNTIME_DIR", open_runtime.string());
  fs::create_directory(root_ / "tmp");
  ScopedEnv temp("TMPDIR", (root_ / "tmp").string());
  const fs::path ours = root_ / "tmp" / ("corvane-" + std::to_string(::geteuid()));
  const fs::path private_elsewhere = root_ / "private";
  fs::create_directory(private_elsewhere);
  fs::permissions(private_elsewhere, fs::perms::owner_all);

  const std::vector<std::pair<const char*, std::function<bool()>>> unsafe = {
      {"open to its group", [&] { return fs::create_directory(ours) && ::chmod(ours.c_str(), 0770) == 0; }},
      {"a link to a private folder",
       [&] {
         fs::create_directory_symlink(private_elsewhere, ours);
         return true;
       }},
      {"another user's",
       [&] {  // only root can give a folder away
         return fs::create_directory(ours) && ::chmod(ours.c_str(), 0700) == 0 &&
                ::chown(ours.c_str(), 65534, 65534) == 0;
       }},
  };
  for (const auto& [what, make] : unsafe) {
    if (!make()) {
      fs::remove(ours);
      continue;
    }
    const ClaimResult refused = InstanceGuard::claim(data_);
    EXPECT_EQ(refused.outcome, ClaimOutcome::Failed) << what;
    EXPECT_NE(refused.message.find(ours.string()), std::string::npos) << what << ": " << refused.message;
    fs::remove(ours);
  }

  // The refusals left the data folder free, and the guard makes the private folder itself.
  const ClaimResult held = InstanceGuard::claim(data_);
  ASSERT_EQ(held.outcome, ClaimOutcome::Claimed) << held.message;
  struct stat info {};
  ASSERT_EQ(::lstat(ours.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_TRUE(socket_in(ours));
  EXPECT_FALSE(socket_in(open_runtime));
}

}  // namespace
}  // namespace corvane
