#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "engine/engine.h"
#include "engine/engine_component.h"
#include "export/device_id.h"
#include "export/uploader.h"
#include "heart/heart_monitor.h"

namespace corvane {

// The hourly upload (timer Upload) with the device ID it carries and that ID's one-time registration,
// and the CSV export of the heart-rate list and the past days. Runs on the engine's thread; the upload
// tool and the registration request run beside it (see Uploader and RegistrationRequest). Announces
// every change of the upload state to the engine's listeners.
class UploadComponent final : public EngineComponent {
 public:
  //! `engine` and `heart` must outlive this component.
  UploadComponent(Engine& engine, HeartMonitor& heart) : engine_(engine), heart_(heart) {}

  //! Reads or creates the device ID (a new one is registered in the background), starts the upload
  //! trigger.
  void on_start() override;
  //! Upload is ours; every timer also takes up a finished upload.
  bool on_timer(TimerId id) override;
  //! Stops the trigger, leaves a running upload tool to finish on its own and waits for a pending
  //! registration (bounded).
  void on_exit() override;
  //! Ends a running upload (its tool included) before the next step of a virtual-time replay.
  void wait_for_background_work() override;

  //! Starts an upload now; false when one runs already.
  bool request_upload();
  //! Writes the CSV export of the heart-rate list and the last days' clicks to `out_path`.
  Result<void> export_csv(const std::filesystem::path& out_path);

  //! "" before on_start().
  const std::string& device_id() const { return device_id_; }
  //! Null before on_start().
  const Uploader* uploader() const { return uploader_.get(); }

 private:
  Engine& engine_;
  HeartMonitor& heart_;
  std::string device_id_;
  std::unique_ptr<RegistrationRequest> registration_;
  std::unique_ptr<Uploader> uploader_;
};

}  // namespace corvane
