// The instance guard on Windows. The lock is a byte-range lock on the lock file, which the system lifts
// when its holder ends in any way. The channel is a named pipe whose name comes from the data folder and
// which only this user may open. Every overlapped operation of the holder signals one manual-reset
// event, so the caller's loop has a single handle to wait on; on_readable() then looks at each operation.
#include <windows.h>
// (sddl.h needs the definitions of windows.h)
#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "base/path_text.h"
#include "instance_guard_common.h"
#include "platform/instance_guard.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace guard_common;  // the close request's words and time-keeping, shared by both systems

constexpr const wchar_t* kLockFileName = L".corvane.lock";
// The lock covers one byte far past the holder's note, so the note stays readable while it is held.
constexpr DWORD kLockOffsetHigh = 1;

std::string error_text(DWORD error = ::GetLastError()) {
  return "error " + std::to_string(error);
}

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~OwnedHandle() { reset(); }
  OwnedHandle(OwnedHandle&& other) noexcept : h_(other.release()) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    reset();
    h_ = other.release();
    return *this;
  }
  HANDLE get() const { return h_; }
  HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
  void reset() {
    if (h_ != INVALID_HANDLE_VALUE && h_ != nullptr) ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }
  explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

 private:
  HANDLE h_;
};

// Stable across the names of one folder: Windows paths ignore letter case, so the key does too.
std::wstring pipe_name(const fs::path& canonical_folder) {
  std::wstring text = canonical_folder.wstring();
  ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a, 64 bits, over the UTF-16 units
  for (const wchar_t c : text) {
    hash ^= static_cast<std::uint16_t>(c);
    hash *= 0x100000001b3u;
  }
  wchar_t name[64];
  std::swprintf(name, 64, L"\\\\.\\pipe\\corvane-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

// Full access for this user and nobody else: no other user may ask the holder to end.
class ThisUserOnly {
 public:
  ThisUserOnly() {
    OwnedHandle token;
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return;
    token = OwnedHandle(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return;
    LPWSTR sid = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) return;
    const std::wstring sddl = L"D:P(A;;GA;;;" + std::wstring(sid) + L")";
    ::LocalFree(sid);
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_,
                                                                nullptr))
      descriptor_ = nullptr;
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
  }
  ~ThisUserOnly() { ::LocalFree(descriptor_); }
  ThisUserOnly(const ThisUserOnly&) = delete;
  ThisUserOnly& operator=(const ThisUserOnly&) = delete;

  SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{};
};

OwnedHandle open_lock_file(const fs::path& lock_path, DWORD disposition) {
  return OwnedHandle(::CreateFileW(lock_path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool try_lock(HANDLE lock_file) {
  OVERLAPPED at{};
  at.OffsetHigh = kLockOffsetHigh;
  return ::LockFileEx(lock_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

// Probes without waiting; a lock we get is given back at once.
bool lock_is_free(HANDLE lock_file) {
  if (!try_lock(lock_file)) return false;
  OVERLAPPED at{};
  at.OffsetHigh = kLockOffsetHigh;
  ::UnlockFileEx(lock_file, 0, 1, 0, &at);
  return true;
}

// Only for people who look (and for the message of a refused start); the lock itself is what counts.
void note_holder(HANDLE lock_file) {
  char host[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD host_size = sizeof host;
  ::GetComputerNameA(host, &host_size);
  const std::string note = std::to_string(::GetCurrentProcessId()) + " " + host + "\n";
  DWORD written = 0;
  ::SetFilePointer(lock_file, 0, nullptr, FILE_BEGIN);
  ::WriteFile(lock_file, note.data(), static_cast<DWORD>(note.size()), &written, nullptr);
  ::SetEndOfFile(lock_file);
}

std::string holder_description(HANDLE lock_file) {
  char text[256] = {};
  DWORD n = 0;
  ::SetFilePointer(lock_file, 0, nullptr, FILE_BEGIN);
  if (!::ReadFile(lock_file, text, sizeof text - 1, &n, nullptr) || n == 0) return {};
  char host[200] = {};
  long pid = 0;
  if (std::sscanf(text, "%ld %199s", &pid, host) != 2 || pid <= 0) return {};
  return " (process " + std::to_string(pid) + " on host " + host + ")";
}

// Waits for one overlapped operation of the requester until `deadline`; cancels it when time runs out.
// Returns the bytes moved, or nothing when the operation failed or timed out.
std::optional<DWORD> finish(HANDLE pipe, OVERLAPPED& operation, Clock::time_point deadline) {
  DWORD moved = 0;
  if (::WaitForSingleObject(operation.hEvent, static_cast<DWORD>(milliseconds_until(deadline))) !=
      WAIT_OBJECT_0) {
    ::CancelIoEx(pipe, &operation);
    ::GetOverlappedResult(pipe, &operation, &moved, TRUE);
    return std::nullopt;
  }
  if (!::GetOverlappedResult(pipe, &operation, &moved, FALSE)) return std::nullopt;
  return moved;
}

}  // namespace

struct InstanceGuard::State {
  // One pipe instance: the one waiting for a requester, or one connected to a requester.
  struct Instance {
    OwnedHandle pipe;
    OVERLAPPED operation{};  // the connect, then each read; signals the guard's event
    bool pending = false;    // an operation is under way
    bool connected = false;
    char buffer[64] = {};
    std::string pending_text;  // the start of a line not complete yet
    std::size_t bytes_received = 0;
    bool wants_close = false;
    bool ended = false;  // to be removed
  };

  ~State() {
    cancel(listening.get());
    for (auto& instance : connections)
      cancel(instance.get());
    listening.reset();
    connections.clear();
    if (event) ::CloseHandle(event);
    // Closing the lock file lifts the lock: the next holder may start now.
  }

  Result<void> listen(bool first) {
    auto instance = std::make_unique<Instance>();
    instance->pipe = OwnedHandle(::CreateNamedPipeW(
        name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        PIPE_UNLIMITED_INSTANCES, 64, 64, 0, security.attributes()));
    if (!instance->pipe) {
      const DWORD error = ::GetLastError();
      return fail("cannot create the pipe for close requests (" + error_text(error) +
                  (error == ERROR_ACCESS_DENIED ? ", another user holds its name)" : ")"));
    }
    instance->operation.hEvent = event;
    if (::ConnectNamedPipe(instance->pipe.get(), &instance->operation)) {
      instance->connected = true;
    } else if (::GetLastError() == ERROR_IO_PENDING) {
      instance->pending = true;
    } else if (::GetLastError() == ERROR_PIPE_CONNECTED) {
      // The requester came between creation and connect; nothing will signal that, so say it here.
      instance->connected = true;
      ::SetEvent(event);
    } else {
      return fail("cannot wait for close requests (" + error_text() + ")");
    }
    listening = std::move(instance);
    return {};
  }

  static void cancel(Instance* instance) {
    if (!instance || !instance->pending) return;
    DWORD moved = 0;
    ::CancelIoEx(instance->pipe.get(), &instance->operation);
    ::GetOverlappedResult(instance->pipe.get(), &instance->operation, &moved, TRUE);
    instance->pending = false;
  }

  // True when the instance's operation has finished; `moved` and `ok` tell how.
  static bool completed(Instance& instance, DWORD& moved, bool& ok) {
    if (!instance.pending) return false;
    if (!::GetOverlappedResult(instance.pipe.get(), &instance.operation, &moved, FALSE)) {
      if (::GetLastError() == ERROR_IO_INCOMPLETE) return false;
      ok = false;
    } else {
      ok = true;
    }
    instance.pending = false;
    return true;
  }

  void start_read(Instance& instance) {
    instance.operation = OVERLAPPED{};
    instance.operation.hEvent = event;
    // Completed or queued alike, the result is collected through the event on the next wake-up.
    if (::ReadFile(instance.pipe.get(), instance.buffer, sizeof instance.buffer, nullptr,
                   &instance.operation) ||
        ::GetLastError() == ERROR_IO_PENDING) {
      instance.pending = true;
    } else if (!instance.wants_close) {
      instance.ended = true;
    }
  }

  // True when this call saw the connection's first close request.
  bool take(Instance& instance, DWORD moved, bool ok) {
    if (!ok || moved == 0) {
      // The requester stopped sending; one that asked to close may still wait for the answer.
      if (!instance.wants_close) instance.ended = true;
      return false;
    }
    instance.bytes_received += moved;
    if (instance.bytes_received > kMostBytesFromAPeer) {
      instance.ended = true;
      return false;
    }
    bool first_close = false;
    instance.pending_text.append(instance.buffer, moved);
    for (std::size_t end; (end = instance.pending_text.find('\n')) != std::string::npos;) {
      if (std::string_view(instance.pending_text).substr(0, end) != kCloseLine) {
        instance.ended = true;
        return first_close;
      }
      instance.pending_text.erase(0, end + 1);
      if (!instance.wants_close) first_close = true;
      instance.wants_close = true;
    }
    start_read(instance);
    return first_close;
  }

  bool on_readable() {
    // Reset first: an operation that finishes while we look sets the event again.
    ::ResetEvent(event);
    bool close_requested = false;
    DWORD moved = 0;
    bool ok = false;
    if (listening && (completed(*listening, moved, ok) || (listening->connected && !listening->pending))) {
      auto connection = std::move(listening);
      connection->connected = true;
      start_read(*connection);
      connections.push_back(std::move(connection));
      if (!listen(false)) listening.reset();  // no instance to spare: requesters wait in the queue
    }
    for (auto& connection : connections) {
      if (completed(*connection, moved, ok) && take(*connection, moved, ok)) close_requested = true;
    }
    std::erase_if(connections, [](const auto& c) { return c->ended; });
    return close_requested;
  }

  void acknowledge_close() {
    for (auto& connection : connections) {
      if (!connection->wants_close) continue;
      cancel(connection.get());
      OVERLAPPED write{};
      write.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
      DWORD moved = 0;
      // Three bytes always fit the pipe's buffer; a requester that gave up makes the write fail at once.
      if (::WriteFile(connection->pipe.get(), kCloseAnswer.data(), static_cast<DWORD>(kCloseAnswer.size()),
                      nullptr, &write) ||
          ::GetLastError() == ERROR_IO_PENDING) {
        if (::WaitForSingleObject(write.hEvent, 1000) != WAIT_OBJECT_0)
          ::CancelIoEx(connection->pipe.get(), &write);
        ::GetOverlappedResult(connection->pipe.get(), &write, &moved, TRUE);
      }
      ::CloseHandle(write.hEvent);
      // Closing (rather than disconnecting) leaves the answer for the requester to read.
      connection->ended = true;
    }
    std::erase_if(connections, [](const auto& c) { return c->ended; });
  }

  OwnedHandle lock_file;
  HANDLE event = nullptr;
  std::wstring name;
  ThisUserOnly security;
  std::unique_ptr<Instance> listening;
  std::vector<std::unique_ptr<Instance>> connections;
};

InstanceGuard::InstanceGuard() : state_(std::make_unique<State>()) {}

InstanceGuard::~InstanceGuard() = default;

int InstanceGuard::listen_fd() const {
  // Handles are 32-bit values in every process, so this one fits an int and comes back whole.
  return static_cast<int>(reinterpret_cast<std::intptr_t>(state_->event));
}

bool InstanceGuard::on_readable() {
  return state_->on_readable();
}

void InstanceGuard::acknowledge_close() {
  state_->acknowledge_close();
}

// The Windows lock file carries no holder note yet, so there is no other machine's claim to take over.
ClaimResult InstanceGuard::claim(const fs::path& data_folder, bool /*take_over_from_another_machine*/) {
  std::error_code ec;
  const fs::path folder = fs::canonical(data_folder, ec);
  if (ec) return claim_failed("cannot open the data folder " + path_text(data_folder) + ": " + ec.message());
  const fs::path lock_path = folder / kLockFileName;
  OwnedHandle lock = open_lock_file(lock_path, OPEN_ALWAYS);
  if (!lock) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
      return claim_failed("the data folder " + path_text(folder) + " is not writable (" +
                          path_text(lock_path) + ": " + error_text(error) + ")");
    return claim_failed("cannot create the lock file " + path_text(lock_path) + ": " + error_text(error));
  }
  if (!try_lock(lock.get())) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
      return {ClaimOutcome::HeldElsewhere, nullptr,
              "the data folder " + path_text(folder) + " is in use by another Corvane" +
                  holder_description(lock.get())};
    return claim_failed("cannot lock " + path_text(lock_path) + ": " + error_text(error));
  }
  note_holder(lock.get());

  std::unique_ptr<InstanceGuard> guard(new InstanceGuard());
  State& state = *guard->state_;
  state.lock_file = OwnedHandle(lock.release());
  state.name = pipe_name(folder);
  state.event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!state.event) return claim_failed("cannot create an event (" + error_text() + ")");
  if (const Result<void> listening = state.listen(true); !listening)
    return claim_failed(listening.error().message);
  return {ClaimOutcome::Claimed, std::move(guard), {}};
}

CloseResult InstanceGuard::request_close(const fs::path& data_folder, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  const CloseResult nothing_runs{CloseOutcome::NothingRuns,
                                 "no Corvane uses the data folder " + path_text(data_folder)};
  std::error_code ec;
  const fs::path folder = fs::canonical(data_folder, ec);
  if (ec) return nothing_runs;  // no folder, no program on it
  const fs::path lock_path = folder / kLockFileName;
  OwnedHandle lock = open_lock_file(lock_path, OPEN_EXISTING);  // never created here
  if (!lock && (::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND))
    return nothing_runs;
  if (!lock) return {CloseOutcome::NoAnswer, "cannot open " + path_text(lock_path) + ": " + error_text()};
  if (lock_is_free(lock.get())) return nothing_runs;

  const std::string holder = "the Corvane that uses " + path_text(folder);
  const std::wstring name = pipe_name(folder);
  OwnedHandle pipe;
  // The holder takes the lock before it listens, and serves one requester per pipe instance at a time.
  for (;;) {
    pipe = OwnedHandle(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OVERLAPPED, nullptr));
    if (pipe) break;
    const DWORD error = ::GetLastError();
    if (lock_is_free(lock.get())) return {CloseOutcome::Closed, {}};  // it ended meanwhile
    if (Clock::now() >= deadline)
      return {CloseOutcome::NoAnswer,
              holder + " cannot be reached within " + seconds_text(timeout) + ": " + error_text(error)};
    if (error == ERROR_PIPE_BUSY) {
      ::WaitNamedPipeW(name.c_str(), std::min<DWORD>(static_cast<DWORD>(milliseconds_until(deadline)), 100));
    } else {
      std::this_thread::sleep_for(kRetryPause);
    }
  }

  OwnedHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED operation{};
  operation.hEvent = event.get();
  const std::string request = std::string(kCloseLine) + "\n";
  // A failed write means the holder is going anyway; its lock tells when it has gone.
  if (::WriteFile(pipe.get(), request.data(), static_cast<DWORD>(request.size()), nullptr, &operation) ||
      ::GetLastError() == ERROR_IO_PENDING)
    finish(pipe.get(), operation, deadline);
  // The holder ends the connection once it has saved: its answer, then the end of the pipe.
  for (;;) {
    char answer[64];
    operation = OVERLAPPED{};
    operation.hEvent = event.get();
    ::ResetEvent(event.get());
    if (!::ReadFile(pipe.get(), answer, sizeof answer, nullptr, &operation) &&
        ::GetLastError() != ERROR_IO_PENDING)
      break;  // the pipe has ended
    if (!finish(pipe.get(), operation, deadline)) {
      if (Clock::now() >= deadline)
        return {CloseOutcome::NoAnswer,
                holder + " did not answer the close request within " + seconds_text(timeout)};
      break;  // the pipe has ended
    }
  }
  // It answers when it has saved, but ends a little later; a start right after us must find it gone.
  while (!lock_is_free(lock.get())) {
    if (Clock::now() >= deadline)
      return {CloseOutcome::NoAnswer, holder + " answered but did not end within " + seconds_text(timeout)};
    std::this_thread::sleep_for(kRetryPause);
  }
  return {CloseOutcome::Closed, {}};
}

}  // namespace corvane
