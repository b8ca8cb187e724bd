// "/close" between two processes on Windows: the requester learns that the holder ended only once the
// holder has done its exit work, and the data folder is free for the next start by then. The test
// program plays both sides: it starts itself again as the requester.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "platform/instance_guard.h"
#include "platform/readiness_wait.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const wchar_t* kRequesterFolder = L"CORVANE_TEST_CLOSE_REQUESTER_FOLDER";
constexpr const char* kSaved = "saved.txt";

std::wstring this_program() {
  std::wstring path(32768, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

// The requester's side, run only in the second process.
TEST(CloseRequest, requester_side) {
  wchar_t text[32768];
  const DWORD length = ::GetEnvironmentVariableW(kRequesterFolder, text, 32768);
  if (length == 0 || length >= 32768) GTEST_SKIP() << "runs in the process the holder's side starts";
  const fs::path folder(std::wstring(text, length));
  const CloseResult closed = InstanceGuard::request_close(folder, 30s);
  ASSERT_EQ(closed.outcome, CloseOutcome::Closed) << closed.message;
  // Told "closed" only after the holder's exit work, and with the folder free.
  EXPECT_TRUE(fs::exists(folder / kSaved));
  const ClaimResult next = InstanceGuard::claim(folder);
  EXPECT_EQ(next.outcome, ClaimOutcome::Claimed) << next.message;
}

TEST(CloseRequest, a_second_process_ends_the_holder_after_its_exit_work_and_finds_the_folder_free) {
  testing::TempFolder root;
  const fs::path data = root.path() / L"データ";  // a folder name no ANSI code page may hold
  fs::create_directories(data);
  ClaimResult held = InstanceGuard::claim(data);
  ASSERT_EQ(held.outcome, ClaimOutcome::Claimed) << held.message;
  EXPECT_EQ(InstanceGuard::claim(data).outcome, ClaimOutcome::HeldElsewhere);

  ::SetEnvironmentVariableW(kRequesterFolder, data.wstring().c_str());
  std::wstring command = L"\"" + this_program() + L"\" --gtest_filter=CloseRequest.requester_side";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION requester{};
  const BOOL spawned = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &requester);
  ::SetEnvironmentVariableW(kRequesterFolder, nullptr);
  ASSERT_TRUE(spawned) << ::GetLastError();

  ReadinessWait waiter;
  bool close_requested = false;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!close_requested && std::chrono::steady_clock::now() < deadline) {
    const int wait_on = held.guard->listen_fd();
    const auto woke = waiter.wait(std::span<const int>(&wait_on, 1), 1000);
    ASSERT_TRUE(woke) << woke.error().message;
    if (!woke->readable.empty()) close_requested = held.guard->on_readable();
  }
  ASSERT_TRUE(close_requested);
  // The exit work comes after the request; the requester must still be waiting for it.
  EXPECT_EQ(::WaitForSingleObject(requester.hProcess, 300), static_cast<DWORD>(WAIT_TIMEOUT));
  std::ofstream(data / kSaved) << "the day\n";
  held.guard->acknowledge_close();
  held.guard.reset();

  ASSERT_EQ(::WaitForSingleObject(requester.hProcess, 30000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD status = 1;
  ::GetExitCodeProcess(requester.hProcess, &status);
  ::CloseHandle(requester.hThread);
  ::CloseHandle(requester.hProcess);
  EXPECT_EQ(status, 0u) << "the requester's checks failed";
}

}  // namespace
}  // namespace corvane
