#include "engine/alert_component.h"

namespace corvane {

AlertComponent::AlertComponent(Engine& engine, HeartMonitor& heart)
    : engine_(engine), rules_(engine.clock(), engine.scheduler(), engine.notifier()) {
  rules_.load_alert_settings(engine.config().data_folder);
  engine.add_activity_listener(rules_);
  heart.set_alert_settings(rules_);
}

void AlertComponent::on_start() {
  rules_.start();
}

bool AlertComponent::on_timer(TimerId id) {
  switch (id) {
    case TimerId::RestAlert:
      rules_.on_rest_alert_timer();
      return true;
    case TimerId::Reminder:
      rules_.on_reminder_tick();
      return true;
    default:
      return false;
  }
}

void AlertComponent::on_exit() {
  engine_.scheduler().stop_timer(TimerId::RestAlert);
  engine_.scheduler().stop_timer(TimerId::Reminder);
}

void AlertComponent::reload_alert_settings() {
  rules_.load_alert_settings(engine_.config().data_folder);
}

}  // namespace corvane
