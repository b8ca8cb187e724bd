#include <windows.h>

#include "platform/stop_signals.h"

namespace corvane {
namespace {

// Ctrl-C, Ctrl-Break and a closing console set this event; the program's loop then saves and ends.
HANDLE g_stop_event = nullptr;
// Set once the program's loop has let go (after its final save). Never closed: a handler thread may
// still wait on it while the process ends.
HANDLE g_loop_done = nullptr;

// How long a closing console, a logoff or a shutdown may wait for the save: the system ends the
// process by itself after about five seconds.
constexpr DWORD kMostWaitForTheSave = 4500;

BOOL WINAPI on_console_event(DWORD event) {
  if (g_stop_event) ::SetEvent(g_stop_event);
  // For these the system ends the process as soon as the handler returns: returning at once would
  // end it before the day is saved, so the handler waits for the loop to finish.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    if (g_loop_done) ::WaitForSingleObject(g_loop_done, kMostWaitForTheSave);
  }
  return TRUE;
}

}  // namespace

struct StopSignals::Impl {};

StopSignals::StopSignals() : impl_(std::make_unique<Impl>()) {
  if (!g_loop_done) g_loop_done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::ResetEvent(g_loop_done);
  g_stop_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetConsoleCtrlHandler(on_console_event, TRUE);
}

StopSignals::~StopSignals() {
  ::SetConsoleCtrlHandler(on_console_event, FALSE);
  ::SetEvent(g_loop_done);
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
