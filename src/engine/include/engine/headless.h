#pragma once

#include <ostream>
#include <span>

#include "engine/command_line.h"
#include "engine/engine.h"
#include "replay/capture.h"
#include "replay/replay_clock.h"
#include "replay/timer_queue.h"

namespace corvane {

// The double-click time where no desktop tells us one (headless mode, virtual time).
inline constexpr std::uint32_t kHeadlessDoubleClickMs = 500;

//! Runs the program without windows as the options say (devices, or a capture in real or virtual time)
//! and returns the process's exit status: 0 after a clean exit with the final save written, 1 when the
//! final save failed or no device layer exists, 2 for an unusable capture or folder. Messages and
//! errors go to `err`.
int run_headless(const CommandLine& options, std::ostream& err);

//! Writes the CSV export of the data folder (--export-csv) and returns 0, or 1 when it could not be
//! written. "Today" is --start when given, else the local date.
int run_export_csv(const CommandLine& options, std::ostream& err);

//! Replays a capture in virtual time: the engine starts at t_ms 0; before each report every timer due
//! at or before its t_ms fires at its own due time; a running day-file save is finished before the next
//! step; after the last report the timers due up to its t_ms fire and the exit path runs. Returns the
//! final save's result.
Result<void> run_virtual_replay(Engine& engine, ReplayClock& clock, TimerQueue& timers,
                                std::span<const CaptureEntry> entries);

//! Hands one captured report to a sink.
void deliver(const CaptureEntry& entry, ReportSink& sink);

}  // namespace corvane
