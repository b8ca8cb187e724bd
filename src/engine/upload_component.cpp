#include "engine/upload_component.h"

#include "export/csv_export.h"
#include "export/upload_tool.h"

namespace corvane {

void UploadComponent::on_start() {
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
  hooks.heart_log = [this] { return heart_.results().entries(); };
  hooks.state_changed = [this] {
    engine_.listeners().announce([](EngineListener& l) { l.on_upload_state_changed(); });
  };
  uploader_ = std::make_unique<Uploader>(
      engine_.clock(), engine_.scheduler(), engine_.notifier(),
      Uploader::Config{engine_.config().data_folder, upload_tool_path(), device_id_}, std::move(hooks));
  uploader_->start();
}

bool UploadComponent::on_timer(TimerId id) {
  if (uploader_) uploader_->poll();
  if (id != TimerId::Upload) return false;
  if (uploader_) uploader_->on_upload_timer();
  return true;
}

void UploadComponent::on_exit() {
  engine_.scheduler().stop_timer(TimerId::Upload);
  // A tool that is still sending goes on after us; the exit does not wait for it.
  if (uploader_) uploader_->abandon_running_tool();
  if (registration_) registration_->wait();
}

void UploadComponent::wait_for_background_work() {
  if (uploader_) uploader_->wait_until_idle();
}

bool UploadComponent::request_upload() {
  return uploader_ && uploader_->request_manual_upload();
}

Result<void> UploadComponent::export_csv(const std::filesystem::path& out_path) {
  return corvane::export_csv(heart_.results().entries(), engine_.config().data_folder,
                             engine_.clock().local_now(), out_path, engine_.notifier());
}

}  // namespace corvane
