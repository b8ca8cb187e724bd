#include "engine/composition.h"

#include <utility>

#include "engine/alerts_and_upload.h"
#include "heart/heart_monitor.h"

namespace corvane {
namespace {

// Hosts the heart side: the sample blocks reach it as a sensor listener, its two timers (HeartReceive,
// HeartAlert) come back through the engine.
class HeartComponent final : public EngineComponent {
 public:
  explicit HeartComponent(std::unique_ptr<HeartMonitor> monitor) : monitor_(std::move(monitor)) {}
  HeartMonitor& monitor() { return *monitor_; }
  bool on_timer(TimerId id) override { return monitor_->on_timer(id); }

 private:
  std::unique_ptr<HeartMonitor> monitor_;
};

}  // namespace

std::unique_ptr<Engine> make_engine(EngineConfig config, Clock& clock, Scheduler& scheduler,
                                    Notifier& notifier) {
  auto engine = std::make_unique<Engine>(std::move(config), clock, scheduler, notifier);
  // Hosted parts are added here.
  // The heart side loads the detection library from the program folder at the first sample block.
  auto& heart = engine->add_component(std::make_unique<HeartComponent>(std::make_unique<HeartMonitor>(
      engine->clock(), engine->scheduler(), engine->notifier(), engine->config().data_folder,
      std::make_unique<OstrelBinding>(OstrelBinding::default_path()))));
  engine->add_sensor_listener(heart.monitor());
  // The alert rules (they also give the heart side its alert threshold and text), the hourly upload and
  // the device ID, the CSV export.
  engine->add_component(std::make_unique<AlertsAndUpload>(*engine, heart.monitor()));
  return engine;
}

HeartMonitor* heart_monitor(Engine& engine) {
  auto* heart = engine.find_component<HeartComponent>();
  return heart ? &heart->monitor() : nullptr;
}

}  // namespace corvane
