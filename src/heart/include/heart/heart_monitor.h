#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "base/clock.h"
#include "base/notifier.h"
#include "base/scheduler.h"
#include "heart/heart_alert_settings.h"
#include "heart/heart_page_view.h"
#include "heart/heart_rate_list.h"
#include "heart/measurement_state.h"
#include "heart/ostrel_binding.h"
#include "heart/ppg_ring.h"
#include "input/hooks.h"

namespace corvane {

inline constexpr std::uint32_t kReceiveTickMs = 100;  // the receive countdown's period
inline constexpr int kReceiveCountdown = 4;           // ticks after the last block until "stopped sending"
inline constexpr std::uint32_t kHeartAlertDelayMs = 100;
inline constexpr int kHeartAlertAbove = 50;  // results at or below this never raise the alert

// The heart side of the program: the sample ring, the detector binding, the measurement session, the
// heart-rate list and the heart-rate alert. Engine thread only: sample blocks, its timers and the page's
// reads and commands all arrive there, so it holds no lock.
//
// Timers it starts on the scheduler, whose firing the owner passes back:
//   TimerId::HeartReceive (100 ms, while blocks arrive) -> on_receive_timer()
//   TimerId::HeartAlert   (one shot, 100 ms after a result above the threshold) -> on_alert_timer()
class HeartMonitor final : public SensorListener {
 public:
  //! `data_folder` holds HeartRateLog.txt, which is loaded here.
  HeartMonitor(const Clock& clock, Scheduler& scheduler, Notifier& notifier,
               std::filesystem::path data_folder, std::unique_ptr<OstrelBinding> binding);

  //! Where the alert threshold and text come from; the settings must outlive this object. Until set,
  //! no heart-rate alert is raised.
  void set_alert_settings(const HeartAlertSettings& settings) { settings_ = &settings; }

  // SensorListener
  void take_sample_block(std::span<const std::uint8_t, 12> block) override;
  void show_heart_page() override;

  //! TimerId::HeartReceive fired.
  void on_receive_timer();
  //! TimerId::HeartAlert fired.
  void on_alert_timer();
  //! Passes a timer to the handler above that owns it; false when it is not the heart side's.
  bool on_timer(TimerId id);

  //! What the measurement view shows now.
  HeartPageView view() const;
  //! Up to `count` of the newest readings with their beat marks, oldest first.
  std::vector<WaveformPoint> waveform(int count) const;
  //! A copy of the measurement state (for tests and diagnostics).
  MeasurementState state() const;

  //! The list of measured heart rates (for the results view, the upload file and the export).
  HeartRateList& results() { return results_; }
  const HeartRateList& results() const { return results_; }
  //! The page switches between its measurement view and its results view; entering the results view
  //! reloads the list from its file (unless a failed save left changes only in memory).
  void show_results(bool on);
  bool showing_results() const { return showing_results_; }
  //! Deletes entry `index` of the results view and saves the list.
  Result<void> delete_result(std::size_t index);

  const OstrelBinding& binding() const { return *binding_; }

  //! Called whenever the page should repaint (after every block and when the mouse stops sending).
  std::function<void()> on_changed;
  //! Called when the mouse asks for the heart-rate page.
  std::function<void()> on_show_page;
  //! Called when saving the list failed, with the reason (the session goes on regardless).
  std::function<void(const std::string&)> on_save_failed;

 private:
  // Runs one session step and applies what it decided.
  void update_session();
  // Copies the newest list entry into the view's latest-entry line.
  void refresh_latest_entry();
  void changed();

  const Clock& clock_;
  Scheduler& scheduler_;
  Notifier& notifier_;
  NoHeartAlertSettings no_settings_;
  const HeartAlertSettings* settings_ = &no_settings_;
  std::unique_ptr<OstrelBinding> binding_;
  HeartRateList results_;
  bool showing_results_ = false;

  PpgRing ring_;
  MeasurementState state_;
  HeartPageView view_;
};

}  // namespace corvane
