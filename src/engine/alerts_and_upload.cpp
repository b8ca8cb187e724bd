#include "engine/alerts_and_upload.h"

#include "export/csv_export.h"
#include "export/upload_tool.h"

namespace corvane {

AlertsAndUpload::AlertsAndUpload(Engine& engine, HeartMonitor& heart)
    : engine_(engine), heart_(heart), rules_(engine.clock(), engine.scheduler(), engine.notifier()) {
  rules_.load_alert_settings(engine.config().data_folder);
  engine.add_activity_listener(rules_);
  heart.set_alert_settings(rules_);
}

void AlertsAndUpload::on_start() {
  // One ID for the whole run: the one the caller already holds, or the stored one, or a new one that is
  // stored before its registration goes out (the request runs beside start-up, never in its way). Read
  // twice, an ID that could not be stored would differ between the window and the uploads.
  if (!engine_.config().device_id.empty()) {
    device_id_ = engine_.config().device_id;
  } else {
    DeviceIdStartup id = read_or_create_device_id(engine_.config().data_folder);
    device_id_ = id.id;
    registration_ = std::move(id.registration);
  }

  Uploader::Hooks hooks;
  hooks.counters = [this] {
    const LocalDate d = engine_.live_date();
    return DaySnapshot{d.year, d.month, d.day, engine_.live_activity()};
  };
  hooks.heart_log = [this] { return heart_.history().entries(); };
  hooks.state_changed = [this] {
    if (on_upload_state_changed) on_upload_state_changed();
  };
  uploader_ = std::make_unique<Uploader>(
      engine_.clock(), engine_.scheduler(), engine_.notifier(),
      Uploader::Config{engine_.config().data_folder, upload_tool_path(), device_id_}, std::move(hooks));

  rules_.start();
  uploader_->start();
}

bool AlertsAndUpload::on_timer(TimerId id) {
  if (uploader_) uploader_->poll();
  switch (id) {
    case TimerId::RestAlert:
      rules_.on_rest_alert_timer();
      return true;
    case TimerId::Reminder:
      rules_.on_reminder_tick();
      return true;
    case TimerId::Upload:
      if (uploader_) uploader_->on_upload_timer();
      return true;
    default:
      return false;
  }
}

void AlertsAndUpload::on_exit() {
  engine_.scheduler().stop_timer(TimerId::RestAlert);
  engine_.scheduler().stop_timer(TimerId::Reminder);
  engine_.scheduler().stop_timer(TimerId::Upload);
  if (uploader_) uploader_->wait_until_idle();
  if (registration_) registration_->wait();
}

void AlertsAndUpload::wait_for_background_work() {
  if (uploader_) uploader_->wait_until_idle();
}

bool AlertsAndUpload::request_upload() {
  return uploader_ && uploader_->request_manual_upload();
}

void AlertsAndUpload::reload_alert_settings() {
  rules_.load_alert_settings(engine_.config().data_folder);
}

WriteResult AlertsAndUpload::export_csv(const std::filesystem::path& out_path) {
  return corvane::export_csv(heart_.history().entries(), engine_.config().data_folder,
                             engine_.clock().local_now(), out_path, engine_.notifier());
}

}  // namespace corvane
