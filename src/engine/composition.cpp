#include "engine/composition.h"

#include <utility>

namespace corvane {

std::unique_ptr<Engine> make_engine(EngineConfig config, Clock& clock, Scheduler& scheduler,
                                    Notifier& notifier) {
  auto engine = std::make_unique<Engine>(std::move(config), clock, scheduler, notifier);
  // Hosted parts are added here, e.g.:
  //   auto& heart = engine->add_component(std::make_unique<HeartSide>(*engine));
  //   engine->add_sensor_listener(heart);
  return engine;
}

}  // namespace corvane
