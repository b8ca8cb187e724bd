#include "engine/realtime_loop.h"

namespace corvane {

// Headless real time needs an event loop over device handles that this platform does not have yet; the
// desktop program drives the engine from its own loop instead.
WriteResult run_realtime_loop(Engine& engine, TimerQueue&, const Clock&, DeviceMonitor*,
                              std::span<const CaptureEntry>, std::ostream& err) {
  err << "corvane: headless real-time mode is not available on this platform\n";
  engine.start();
  return engine.shutdown();
}

}  // namespace corvane
