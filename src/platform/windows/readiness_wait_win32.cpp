#include <windows.h>

#include <algorithm>

#include "platform/readiness_wait.h"

namespace corvane {
namespace {

// Ctrl-C, Ctrl-Break and a closing console set this event; the waiting loop then saves and ends.
HANDLE g_stop_event = nullptr;

BOOL WINAPI on_console_event(DWORD) {
  if (g_stop_event) ::SetEvent(g_stop_event);
  return TRUE;
}

}  // namespace

struct ReadinessWait::Impl {};

ReadinessWait::ReadinessWait() : impl_(std::make_unique<Impl>()) {
  g_stop_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetConsoleCtrlHandler(on_console_event, TRUE);
}

ReadinessWait::~ReadinessWait() {
  ::SetConsoleCtrlHandler(on_console_event, FALSE);
  if (g_stop_event) ::CloseHandle(g_stop_event);
  g_stop_event = nullptr;
}

// Windows delivers device input as window messages, not through descriptors: only the timeout and
// the stop request end this wait.
Result<ReadinessWait::Outcome> ReadinessWait::wait(std::span<const int> /*descriptors*/,
                                                   std::optional<std::int64_t> timeout_ms) {
  const DWORD timeout =
      timeout_ms ? static_cast<DWORD>(std::clamp<std::int64_t>(*timeout_ms, 0, INFINITE - 1)) : INFINITE;
  Outcome outcome;
  if (::WaitForSingleObject(g_stop_event, timeout) == WAIT_OBJECT_0) outcome.stop_requested = true;
  return outcome;
}

}  // namespace corvane
