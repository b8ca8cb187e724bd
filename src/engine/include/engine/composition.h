#pragma once

#include <memory>

#include "engine/alert_component.h"
#include "engine/engine.h"
#include "engine/upload_component.h"
#include "heart/heart_monitor.h"

namespace corvane {

// The engine with the parts it hosts, handed to whoever drives them (the pages, headless mode, tests).
// The parts live as long as the engine.
struct EngineParts {
  std::unique_ptr<Engine> engine;
  HeartMonitor* heart = nullptr;
  UploadComponent* upload = nullptr;
  AlertComponent* alerts = nullptr;
};

// The composition root: builds the engine with every part the program hosts (the heart-rate side, the
// upload trigger and the CSV export, the alert rules). The desktop program and headless mode both start
// from here, so a new part is wired in one place.
EngineParts make_engine(EngineConfig config, Clock& clock, Scheduler& scheduler, Notifier& notifier);

}  // namespace corvane
