#pragma once

#include "alerts/alert_rules.h"
#include "engine/engine.h"
#include "engine/engine_component.h"
#include "heart/heart_monitor.h"

namespace corvane {

// The alert rules as the engine hosts them: they hear every counted press and travel, raise the rest
// alert (timer RestAlert) and the measurement reminders (timer Reminder), and answer the heart side's
// alert questions. Engine thread only.
class AlertComponent final : public EngineComponent {
 public:
  //! Reads the alert settings ("set.ini"). `engine` and `heart` must outlive this component.
  AlertComponent(Engine& engine, HeartMonitor& heart);

  void on_start() override;
  bool on_timer(TimerId id) override;
  void on_exit() override;

  //! After the alert settings dialog closed: "set.ini" is read again.
  void reload_alert_settings();
  const AlertRules& rules() const { return rules_; }

 private:
  Engine& engine_;
  AlertRules rules_;
};

}  // namespace corvane
