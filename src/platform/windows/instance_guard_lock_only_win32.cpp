#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "base/path_text.h"
#include "platform/instance_guard.h"

namespace corvane {
namespace fs = std::filesystem;

// Holds the data folder with a lock file opened without sharing: Windows refuses a second open while
// this process has it and frees it when the process ends, crashed or not. The holder listens for no
// close request here, so /close can only tell whether a program holds the folder.
namespace {

constexpr const wchar_t* kLockFileName = L".corvane.lock";

HANDLE open_unshared(const fs::path& lock_path, DWORD disposition) {
  return CreateFileW(lock_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                     FILE_ATTRIBUTE_HIDDEN, nullptr);
}

std::string system_error_text(DWORD code) {
  return "error " + std::to_string(code);
}

}  // namespace

ClaimResult InstanceGuard::claim(const fs::path& data_folder) {
  std::error_code ec;
  const fs::path folder = fs::canonical(data_folder, ec);
  if (ec)
    return {ClaimOutcome::Failed, nullptr,
            "cannot open the data folder " + path_text(data_folder) + ": " + ec.message()};
  const fs::path lock_path = folder / kLockFileName;
  const HANDLE lock = open_unshared(lock_path, OPEN_ALWAYS);
  if (lock == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION)
      return {ClaimOutcome::HeldElsewhere, nullptr,
              "the data folder " + path_text(folder) + " is in use by another Corvane"};
    return {ClaimOutcome::Failed, nullptr,
            "cannot create the lock file " + path_text(lock_path) + ": " + system_error_text(code)};
  }
  std::unique_ptr<InstanceGuard> guard(new InstanceGuard());
  // The C runtime's descriptor owns the handle from here; closing it frees the folder.
  guard->lock_fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(lock), _O_RDWR);
  if (guard->lock_fd_ < 0) {
    CloseHandle(lock);
    return {ClaimOutcome::Failed, nullptr, "cannot hold the lock file " + path_text(lock_path)};
  }
  return {ClaimOutcome::Claimed, std::move(guard), {}};
}

InstanceGuard::~InstanceGuard() {
  if (lock_fd_ >= 0) _close(lock_fd_);
}

bool InstanceGuard::on_readable() {
  return false;
}

void InstanceGuard::acknowledge_close() {}

CloseResult InstanceGuard::request_close(const fs::path& data_folder, std::chrono::milliseconds /*timeout*/) {
  const CloseResult nothing_runs{CloseOutcome::NothingRuns,
                                 "no Corvane uses the data folder " + path_text(data_folder)};
  std::error_code ec;
  const fs::path folder = fs::canonical(data_folder, ec);
  if (ec) return nothing_runs;
  const HANDLE lock = open_unshared(folder / kLockFileName, OPEN_EXISTING);
  if (lock != INVALID_HANDLE_VALUE) {
    CloseHandle(lock);
    return nothing_runs;
  }
  if (GetLastError() != ERROR_SHARING_VIOLATION) return nothing_runs;
  return {CloseOutcome::NoAnswer,
          "the Corvane that uses " + path_text(folder) + " cannot be asked to end here"};
}

}  // namespace corvane
