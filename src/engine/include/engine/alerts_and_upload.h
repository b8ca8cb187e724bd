#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "alerts/alert_rules.h"
#include "engine/engine.h"
#include "engine/engine_component.h"
#include "export/device_id.h"
#include "export/uploader.h"
#include "heart/heart_monitor.h"

namespace corvane {

// What the history page drives: the alert rules (timers RestAlert and Reminder), the hourly upload
// (timer Upload) and the device ID it carries, the CSV export. Hosted by the engine; everything here
// runs on the engine's thread.
class AlertsAndUpload final : public EngineComponent {
 public:
  //! Reads the alert settings; the rules hear every counted press and travel and answer the heart
  //! side's alert questions. `engine` and `heart` must outlive this component.
  AlertsAndUpload(Engine& engine, HeartMonitor& heart);

  //! Reads or creates the device ID (a new one is announced in the background), starts the reminder
  //! tick and the upload trigger.
  void on_start() override;
  //! RestAlert, Reminder and Upload are ours; any timer also ends a finished upload.
  bool on_timer(TimerId id) override;
  //! Stops our timers and waits for a running upload and a pending registration (both bounded).
  void on_exit() override;
  //! Ends a running upload before the next step of a virtual-time replay.
  void wait_for_background_work() override;

  // --- the history page's commands ---
  //! Command 1: a manual upload; false when one runs already.
  bool request_upload();
  //! After the settings page closes: "set.ini" is read again.
  void reload_alert_settings();
  //! Command 0 (after the Save dialog): writes the CSV export of today and the heart-rate list.
  WriteResult export_csv(const std::filesystem::path& out_path);

  const AlertRules& rules() const { return rules_; }
  //! "" before on_start().
  const std::string& device_id() const { return device_id_; }
  //! Null before on_start().
  const Uploader* uploader() const { return uploader_.get(); }
  //! Repaint hook for the upload state; may be empty. Set before on_start().
  std::function<void()> on_upload_state_changed;

 private:
  Engine& engine_;
  HeartMonitor& heart_;
  AlertRules rules_;
  std::string device_id_;
  std::unique_ptr<RegistrationRequest> registration_;
  std::unique_ptr<Uploader> uploader_;
};

}  // namespace corvane
