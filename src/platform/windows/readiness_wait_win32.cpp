#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/readiness_wait.h"
#include "platform/stop_signals.h"

namespace corvane {

struct ReadinessWait::Impl {
  StopSignals stops;
  std::vector<HANDLE> handles;  // reused by every wait
};

ReadinessWait::ReadinessWait() : impl_(std::make_unique<Impl>()) {}

ReadinessWait::~ReadinessWait() = default;

// On Windows the "descriptors" are the values of waitable handles (the instance guard's event), and
// device input comes as window messages to this thread: the wait ends on either, and the messages are
// dispatched here, so a raw-input window delivers its reports during the wait.
Result<ReadinessWait::Outcome> ReadinessWait::wait(std::span<const int> descriptors,
                                                   std::optional<std::int64_t> timeout_ms) {
  const DWORD timeout =
      timeout_ms ? static_cast<DWORD>(std::clamp<std::int64_t>(*timeout_ms, 0, INFINITE - 1)) : INFINITE;
  auto& handles = impl_->handles;
  handles.clear();
  handles.push_back(static_cast<HANDLE>(impl_->stops.native_event()));
  for (const int fd : descriptors)
    handles.push_back(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd)));
  if (handles.size() >= MAXIMUM_WAIT_OBJECTS) return fail("too many handles to wait on");

  // MWMO_INPUTAVAILABLE: messages already in the queue end the wait too, not only new ones.
  const DWORD woke = ::MsgWaitForMultipleObjectsEx(static_cast<DWORD>(handles.size()), handles.data(),
                                                   timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (woke == WAIT_FAILED) return fail("waiting failed (error " + std::to_string(::GetLastError()) + ")");

  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }

  Outcome outcome;
  outcome.stop_requested = impl_->stops.take_requests();
  for (std::size_t i = 1; i < handles.size(); ++i) {
    if (::WaitForSingleObject(handles[i], 0) == WAIT_OBJECT_0) outcome.readable.push_back(descriptors[i - 1]);
  }
  return outcome;
}

}  // namespace corvane
