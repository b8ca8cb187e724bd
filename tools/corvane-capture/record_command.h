#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "base/reports.h"

namespace corvane {

// Collects the reports of the device layer as capture lines, timed from its creation.
class CaptureRecorder final : public ReportSink {
 public:
  //! `now_ms` is a monotonic clock in milliseconds; times in the capture count from the first call.
  explicit CaptureRecorder(std::function<std::int64_t()> now_ms);

  void on_mouse_report(const MouseReport& report) override;
  void on_hid_report(const HidReport& report) override;

  //! Adds a comment line (a device node that came or went, a warning) at the current position.
  void note(const std::string& text);

  //! The whole capture: header, notes and report lines.
  std::string text() const;
  std::size_t report_count() const { return reports_; }

 private:
  std::int64_t elapsed_ms();

  std::function<std::int64_t()> now_ms_;
  std::int64_t start_ms_;
  std::int64_t last_ms_ = 0;
  std::vector<std::string> lines_;
  std::size_t reports_ = 0;
};

//! `corvane-capture record OUTPUT [--seconds N]`: records the sensor mouse's reports through the
//! device layer until N seconds have passed or the user interrupts (Ctrl-C, SIGTERM), then writes the
//! capture to OUTPUT. `args` are the words after "record". Returns the exit code.
int run_record_command(const std::vector<std::string>& args, std::ostream& err);

}  // namespace corvane
