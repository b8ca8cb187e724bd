#include <windows.h>

#include "platform/stop_signals.h"

namespace corvane {
namespace {

// Ctrl-C, Ctrl-Break and a closing console set this event; the program's loop then saves and ends.
HANDLE g_stop_event = nullptr;

BOOL WINAPI on_console_event(DWORD) {
  if (g_stop_event) ::SetEvent(g_stop_event);
  return TRUE;
}

}  // namespace

struct StopSignals::Impl {};

StopSignals::StopSignals() : impl_(std::make_unique<Impl>()) {
  g_stop_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetConsoleCtrlHandler(on_console_event, TRUE);
}

StopSignals::~StopSignals() {
  ::SetConsoleCtrlHandler(on_console_event, FALSE);
  if (g_stop_event) ::CloseHandle(g_stop_event);
  g_stop_event = nullptr;
}

int StopSignals::descriptor() const {
  return -1;
}

bool StopSignals::take_requests() {
  if (!g_stop_event || ::WaitForSingleObject(g_stop_event, 0) != WAIT_OBJECT_0) return false;
  ::ResetEvent(g_stop_event);
  return true;
}

void* StopSignals::native_event() const {
  return g_stop_event;
}

}  // namespace corvane
