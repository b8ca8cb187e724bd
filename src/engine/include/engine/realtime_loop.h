#pragma once

#include <ostream>
#include <span>

#include "base/clock.h"
#include "engine/engine.h"
#include "platform/device_monitor.h"
#include "platform/instance_guard.h"
#include "replay/capture.h"
#include "replay/timer_queue.h"

namespace corvane {

// The headless event loop in real time: waits for device descriptors, the next timer and the next
// captured report, and ends on a stop request (Ctrl-C, SIGTERM), a /close from another start, or after
// the last captured report. Starts the engine and runs its exit path; returns the final save's result.
//   `monitor`: the device layer, or null (a replay);
//   `guard`: the claim on the data folder, whose close requests end the loop; may be null;
//   `replay`: the captured reports, empty for devices; their t_ms count on the timers' clock.
Result<void> run_realtime_loop(Engine& engine, TimerQueue& timers, const Clock& clock, DeviceMonitor* monitor,
                               InstanceGuard* guard, std::span<const CaptureEntry> replay, std::ostream& err);

}  // namespace corvane
