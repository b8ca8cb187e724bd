#pragma once

#include <memory>

#include "engine/engine.h"

namespace corvane {

// The composition root: builds the engine with every part the program hosts (the heart-rate side, the
// alert rules, the upload trigger). The desktop program and headless mode both start from here, so a
// new part is wired in one place.
std::unique_ptr<Engine> make_engine(EngineConfig config, Clock& clock, Scheduler& scheduler,
                                    Notifier& notifier);

class HeartMonitor;
//! The heart side of an engine made by make_engine (for the heart-rate page); null for another engine.
HeartMonitor* heart_monitor(Engine& engine);

}  // namespace corvane
