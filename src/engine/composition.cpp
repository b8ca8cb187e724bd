#include "engine/composition.h"

#include <utility>

namespace corvane {
namespace {

// Hosts the heart side: the sample blocks reach it as a sensor listener, its two timers (HeartReceive,
// HeartAlert) come back through the engine, and its changes go out to the engine's listeners.
class HeartComponent final : public EngineComponent {
 public:
  HeartComponent(Engine& engine, std::unique_ptr<HeartMonitor> monitor) : monitor_(std::move(monitor)) {
    monitor_->on_changed = [&engine] {
      engine.listeners().announce([](EngineListener& l) { l.on_heart_changed(); });
    };
  }
  HeartMonitor& monitor() { return *monitor_; }
  bool on_timer(TimerId id) override { return monitor_->on_timer(id); }

 private:
  std::unique_ptr<HeartMonitor> monitor_;
};

}  // namespace

EngineParts make_engine(EngineConfig config, Clock& clock, Scheduler& scheduler, Notifier& notifier) {
  EngineParts parts;
  parts.engine = std::make_unique<Engine>(std::move(config), clock, scheduler, notifier);
  Engine& engine = *parts.engine;
  // The heart side loads the detection library from the program folder at the first sample block.
  auto& heart = engine.add_component(std::make_unique<HeartComponent>(
      engine, std::make_unique<HeartMonitor>(
                  engine.clock(), engine.scheduler(), engine.notifier(), engine.config().data_folder,
                  std::make_unique<OstrelBinding>(OstrelBinding::default_path()))));
  engine.add_sensor_listener(heart.monitor());
  parts.heart = &heart.monitor();
  // The upload comes before the alert rules: it takes up a finished upload at every timer it is offered,
  // and a component that claims a timer ends the offer.
  parts.upload = &engine.add_component(std::make_unique<UploadComponent>(engine, heart.monitor()));
  // The alert rules also give the heart side its alert threshold and text.
  parts.alerts = &engine.add_component(std::make_unique<AlertComponent>(engine, heart.monitor()));
  return parts;
}

}  // namespace corvane
