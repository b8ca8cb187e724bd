// The instance guard on Linux. The wait descriptor is an epoll set so that one descriptor in the caller's
// loop covers the listener and every connection: a peer may connect before it writes its request, and
// the request must wake the caller too. (Another POSIX system needs kqueue and getpeereid here.)
#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "instance_guard_common.h"
#include "platform/instance_guard.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace guard_common;  // the close request's words and time-keeping, shared by both systems

constexpr const char* kLockFileName = ".corvane.lock";

std::string system_error_text() {
  return std::strerror(errno);
}

// Closes the descriptor on every early return of the functions below.
class OwnedFd {
 public:
  explicit OwnedFd(int fd = -1) : fd_(fd) {}
  ~OwnedFd() { reset(); }
  OwnedFd(OwnedFd&& other) noexcept : fd_(other.release()) {}
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  OwnedFd& operator=(OwnedFd&& other) noexcept {
    reset();
    fd_ = other.release();
    return *this;
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

// Stable across the names of one folder: "x", "./x", "/home/u/x" and a link to it give one socket.
std::string folder_key(const fs::path& canonical_folder) {
  std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a, 64 bits
  for (const unsigned char c : canonical_folder.string()) {
    hash ^= c;
    hash *= 0x100000001b3u;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, hash);
  return text;
}

// A socket is only as private as its folder: anyone who can enter the folder could take the name first
// or talk to the holder. The failure says what is wrong in words that follow the folder's name
// ("belongs to another user").
Result<void> check_private_folder(const fs::path& folder) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return fail("cannot be examined: " + system_error_text());
  if (!S_ISDIR(info.st_mode)) return fail("is not a folder");
  if (info.st_uid != ::geteuid()) return fail("belongs to another user");
  if ((info.st_mode & 077) != 0) return fail("is open to other users");
  return {};
}

// The session's runtime folder when it is private, as it is on a systemd desktop; otherwise a folder of
// this user's own in the temporary folder, which must be private too.
Result<fs::path> socket_folder(bool create) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && check_private_folder(runtime)) return fs::path(runtime);

  const char* temp = std::getenv("TMPDIR");
  const fs::path base = temp && temp[0] == '/' ? temp : "/tmp";
  const fs::path folder = base / ("corvane-" + std::to_string(::geteuid()));
  if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return fail("cannot create the folder " + folder.string() +
                " for Corvane's socket: " + system_error_text());
  if (const Result<void> private_folder = check_private_folder(folder); !private_folder)
    return fail("the folder " + folder.string() + " " + private_folder.error().message +
                ", so Corvane will not keep its socket there; remove it and Corvane makes a private one");
  return folder;
}

bool fill_address(const fs::path& socket_path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  const std::string& text = socket_path.native();
  if (text.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return true;
}

fs::path socket_path_in(const fs::path& folder, const fs::path& canonical_data_folder) {
  return folder / ("corvane-" + folder_key(canonical_data_folder) + ".sock");
}

bool peer_is_this_user(int fd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
         credentials.uid == ::geteuid();
}

// Probes without waiting; a lock we get is given back at once.
bool lock_is_free(int lock_fd) {
  if (::flock(lock_fd, LOCK_EX | LOCK_NB) != 0) return false;
  ::flock(lock_fd, LOCK_UN);
  return true;
}

// The holder's note in the lock file: "<pid> <host> <YYYY-MM-DDTHH:MM:SS>\n" (older notes lack the
// time). Only for people who look and for the messages of a refused start; the lock itself is what
// counts on one machine.
struct HolderNote {
  long pid = 0;
  std::string host;
  std::string since;  // "YYYY-MM-DD HH:MM", or empty
};

std::optional<HolderNote> read_note(int lock_fd) {
  char text[512] = {};
  const ssize_t n = ::pread(lock_fd, text, sizeof text - 1, 0);
  if (n <= 0) return std::nullopt;
  char host[256] = {};
  char since[32] = {};
  HolderNote note;
  const int fields = std::sscanf(text, "%ld %255s %31s", &note.pid, host, since);
  if (fields < 2 || note.pid <= 0) return std::nullopt;
  note.host = host;
  int y, mo, d, h, mi, sec;
  if (fields == 3 && std::sscanf(since, "%4d-%2d-%2dT%2d:%2d:%2d", &y, &mo, &d, &h, &mi, &sec) == 6) {
    char shown[32];
    std::snprintf(shown, sizeof shown, "%04d-%02d-%02d %02d:%02d", y, mo, d, h, mi);
    note.since = shown;
  }
  return note;
}

std::string this_host() {
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  return host;
}

std::string holder_description(const HolderNote& note) {
  return " (process " + std::to_string(note.pid) + " on host " + note.host +
         (note.since.empty() ? "" : ", since " + note.since) + ")";
}

bool note_holder(int lock_fd) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char since[32] = "-";
  if (::localtime_r(&now, &local)) std::strftime(since, sizeof since, "%Y-%m-%dT%H:%M:%S", &local);
  const std::string note = std::to_string(::getpid()) + " " + this_host() + " " + since + "\n";
  return ::ftruncate(lock_fd, 0) == 0 &&
         ::pwrite(lock_fd, note.data(), note.size(), 0) == ssize_t(note.size());
}

// Connects without blocking to the holder's socket; fails while nobody listens there.
Result<OwnedFd> connect_to_holder(const fs::path& canonical_folder) {
  const Result<fs::path> place = socket_folder(false);
  if (!place) return place.error();
  const fs::path path = socket_path_in(*place, canonical_folder);
  sockaddr_un address;
  if (!fill_address(path, address)) return fail("the socket path " + path.string() + " is too long");
  OwnedFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    return fail("cannot connect to " + path.string() + ": " + system_error_text());
  if (!peer_is_this_user(fd.get())) return fail("the socket " + path.string() + " is served by another user");
  return fd;
}

// Waits until the holder ends the connection (its answer, or its end); false when the time ran out.
bool wait_for_end_of_connection(int fd, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(milliseconds_until(deadline)));
    if (ready < 0 && errno != EINTR) return false;
    if (ready > 0) {
      char answer[64];
      const ssize_t n = ::recv(fd, answer, sizeof answer, 0);
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return true;
    }
    if (Clock::now() >= deadline) return false;
  }
}

}  // namespace

struct InstanceGuard::State {
  struct Connection {
    int fd = -1;
    std::string pending;  // the start of a line not complete yet
    std::size_t bytes_received = 0;
    bool wants_close = false;
    bool watched = true;  // still in the wait set (a peer that stopped sending leaves it)
  };

  ~State();
  Result<void> start_listening(const std::filesystem::path& canonical_folder);
  bool on_readable();
  void acknowledge_close();
  void accept_waiting();
  bool take_requests(Connection& connection);  // true when this call saw its first close request
  void drop(Connection& connection);

  int lock_fd_ = -1;
  int listener_fd_ = -1;
  int wait_fd_ = -1;  // ready when the listener or a watched connection is
  std::string socket_path_;
  std::vector<Connection> connections_;
};

InstanceGuard::InstanceGuard() : state_(std::make_unique<State>()) {}

InstanceGuard::~InstanceGuard() = default;

int InstanceGuard::listen_fd() const {
  return state_->wait_fd_;
}

bool InstanceGuard::on_readable() {
  return state_->on_readable();
}

void InstanceGuard::acknowledge_close() {
  state_->acknowledge_close();
}

ClaimResult InstanceGuard::claim(const fs::path& data_folder, bool take_over_from_another_machine) {
  std::error_code ec;
  const fs::path folder = fs::canonical(data_folder, ec);
  if (ec) return claim_failed("cannot open the data folder " + data_folder.string() + ": " + ec.message());
  const fs::path lock_path = folder / kLockFileName;
  OwnedFd lock(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (!lock) {
    if (errno == EACCES || errno == EROFS)
      return claim_failed("the data folder " + folder.string() + " is not writable (" + lock_path.string() +
                          ": " + system_error_text() + ")");
    return claim_failed("cannot create the lock file " + lock_path.string() + ": " + system_error_text());
  }
  if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK)
      return claim_failed("cannot lock " + lock_path.string() + ": " + system_error_text());
    ClaimResult held{ClaimOutcome::HeldElsewhere, nullptr,
                     "the data folder " + folder.string() + " is in use by another Corvane"};
    if (const std::optional<HolderNote> note = read_note(lock.get())) {
      held.message += holder_description(*note);
      held.holder_host = note->host;
      held.holder_since = note->since;
    }
    return held;
  }
  // The lock is ours, so a note of this machine is a holder that died. A note of another machine is
  // not: a synced folder brings the note without the lock, and the program there may still run.
  if (const std::optional<HolderNote> note = read_note(lock.get());
      note && note->host != this_host() && !take_over_from_another_machine) {
    return {ClaimOutcome::HeldOnAnotherMachine, nullptr,
            "the data folder " + folder.string() + " is in use on " + note->host +
                (note->since.empty() ? "" : " since " + note->since) +
                " (or Corvane ended there without closing); end it there, or start with --force to take "
                "the folder over",
            note->host, note->since};
  }
  note_holder(lock.get());

  std::unique_ptr<InstanceGuard> guard(new InstanceGuard());
  guard->state_->lock_fd_ = lock.release();
  const Result<void> listening = guard->state_->start_listening(folder);
  if (!listening) return claim_failed(listening.error().message);  // the guard's end gives the folder back
  return {ClaimOutcome::Claimed, std::move(guard), {}};
}

Result<void> InstanceGuard::State::start_listening(const fs::path& canonical_folder) {
  const Result<fs::path> place = socket_folder(true);
  if (!place) return place.error();
  const fs::path path = socket_path_in(*place, canonical_folder);
  sockaddr_un address;
  if (!fill_address(path, address))
    return fail("the socket path " + path.string() +
                " is too long for this system; set TMPDIR to a shorter folder");

  OwnedFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!listener) return fail("cannot create a socket: " + system_error_text());
  // We hold the data folder's lock, so a socket file of this name is a leftover of a holder that died.
  ::unlink(path.c_str());
  if (::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    return fail("cannot create the socket " + path.string() + ": " + system_error_text());
  socket_path_ = path.string();
  if (::listen(listener.get(), 8) != 0)
    return fail("cannot listen on " + path.string() + ": " + system_error_text());

  OwnedFd wait_set(::epoll_create1(EPOLL_CLOEXEC));
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = listener.get();
  if (!wait_set || ::epoll_ctl(wait_set.get(), EPOLL_CTL_ADD, listener.get(), &event) != 0)
    return fail("cannot set up waiting on " + path.string() + ": " + system_error_text());
  listener_fd_ = listener.release();
  wait_fd_ = wait_set.release();
  return {};
}

InstanceGuard::State::~State() {
  for (Connection& connection : connections_)
    drop(connection);
  if (wait_fd_ >= 0) ::close(wait_fd_);
  if (listener_fd_ >= 0) ::close(listener_fd_);
  // Before the lock goes: once it is free, the next holder's socket may stand at this path.
  if (!socket_path_.empty()) ::unlink(socket_path_.c_str());
  if (lock_fd_ >= 0) {
    // An empty note tells a machine that shares the folder that nobody holds it any more.
    if (::ftruncate(lock_fd_, 0) != 0) {
      // Left as it was: the next start on another machine asks before it takes the folder over.
    }
    // Closing (not LOCK_UN) leaves the lock to a forked child that still shares the descriptor.
    ::close(lock_fd_);
  }
}

bool InstanceGuard::State::on_readable() {
  accept_waiting();
  bool close_requested = false;
  for (Connection& connection : connections_)
    if (connection.watched && take_requests(connection)) close_requested = true;
  std::erase_if(connections_, [](const Connection& c) { return c.fd < 0; });
  return close_requested;
}

void InstanceGuard::State::accept_waiting() {
  for (;;) {
    const int fd = ::accept4(listener_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;  // none left (or no descriptor to spare: the next wake-up tries again)
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (!peer_is_this_user(fd) || ::epoll_ctl(wait_fd_, EPOLL_CTL_ADD, fd, &event) != 0) {
      ::close(fd);
      continue;
    }
    Connection accepted;
    accepted.fd = fd;
    connections_.push_back(std::move(accepted));
  }
}

bool InstanceGuard::State::take_requests(Connection& connection) {
  bool first_close = false;
  char buffer[kMostBytesFromAPeer + 1];
  for (;;) {
    const ssize_t n = ::recv(connection.fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return first_close;
    if (n <= 0) {
      // The peer stopped sending. One that asked to close may still wait for the answer; it only leaves
      // the wait set, which an ended connection would otherwise keep ready for ever.
      if (connection.wants_close && n == 0) {
        ::epoll_ctl(wait_fd_, EPOLL_CTL_DEL, connection.fd, nullptr);
        connection.watched = false;
      } else {
        drop(connection);
      }
      return first_close;
    }
    connection.bytes_received += static_cast<std::size_t>(n);
    if (connection.bytes_received > kMostBytesFromAPeer) {
      drop(connection);
      return first_close;
    }
    connection.pending.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = connection.pending.find('\n')) != std::string::npos;) {
      if (std::string_view(connection.pending).substr(0, end) != kCloseLine) {
        drop(connection);
        return first_close;
      }
      connection.pending.erase(0, end + 1);
      if (!connection.wants_close) first_close = true;
      connection.wants_close = true;
    }
  }
}

void InstanceGuard::State::drop(Connection& connection) {
  if (connection.fd < 0) return;
  if (connection.watched) ::epoll_ctl(wait_fd_, EPOLL_CTL_DEL, connection.fd, nullptr);
  ::close(connection.fd);
  connection.fd = -1;
}

void InstanceGuard::State::acknowledge_close() {
  for (Connection& connection : connections_) {
    if (!connection.wants_close) continue;
    // Three bytes always fit a fresh socket's buffer; a requester that gave up must not raise SIGPIPE.
    ::send(connection.fd, kCloseAnswer.data(), kCloseAnswer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    drop(connection);
  }
  std::erase_if(connections_, [](const Connection& c) { return c.fd < 0; });
}

CloseResult InstanceGuard::request_close(const fs::path& data_folder, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  const CloseResult nothing_runs{CloseOutcome::NothingRuns,
                                 "no Corvane uses the data folder " + data_folder.string()};
  std::error_code ec;
  const fs::path folder = fs::canonical(data_folder, ec);
  if (ec) return nothing_runs;  // no folder, no program on it
  const fs::path lock_path = folder / kLockFileName;
  // Opened for writing because on NFS an exclusive lock needs it; never created here.
  OwnedFd lock(::open(lock_path.c_str(), O_RDWR | O_CLOEXEC));
  if (!lock && errno == ENOENT) return nothing_runs;
  if (!lock)
    return {CloseOutcome::NoAnswer, "cannot open " + lock_path.string() + ": " + system_error_text()};
  if (lock_is_free(lock.get())) return nothing_runs;

  const std::string holder = "the Corvane that uses " + folder.string();
  OwnedFd connection;
  // The holder takes the lock before it listens: one that is just starting may not listen yet.
  for (;;) {
    Result<OwnedFd> connected = connect_to_holder(folder);
    if (connected) {
      connection = std::move(*connected);
      break;
    }
    if (lock_is_free(lock.get())) return {CloseOutcome::Closed, {}};  // it ended meanwhile
    if (Clock::now() >= deadline)
      return {CloseOutcome::NoAnswer, holder + " cannot be reached within " + seconds_text(timeout) + ": " +
                                          connected.error().message};
    std::this_thread::sleep_for(kRetryPause);
  }
  const std::string request = std::string(kCloseLine) + "\n";
  // A failed send means the holder is going anyway; its lock tells when it has gone.
  ::send(connection.get(), request.data(), request.size(), MSG_NOSIGNAL);
  if (!wait_for_end_of_connection(connection.get(), deadline))
    return {CloseOutcome::NoAnswer,
            holder + " did not answer the close request within " + seconds_text(timeout)};
  // It answers when it has saved, but ends a little later; a start right after us must find it gone.
  while (!lock_is_free(lock.get())) {
    if (Clock::now() >= deadline)
      return {CloseOutcome::NoAnswer, holder + " answered but did not end within " + seconds_text(timeout)};
    std::this_thread::sleep_for(kRetryPause);
  }
  return {CloseOutcome::Closed, {}};
}

}  // namespace corvane
