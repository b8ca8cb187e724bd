#pragma once

#include <string>

#include "base/user_texts.h"

namespace corvane {

// The alert settings the heart side reads, at the moment it needs them (a changed setting applies to the
// next result).
class HeartAlertSettings {
 public:
  virtual ~HeartAlertSettings() = default;
  //! The heart-rate threshold in bpm ("bpm" of the alert settings); 0 while the heart-rate check is off.
  virtual int heart_rate_threshold() const = 0;
  //! "check_alert_hr_opt": a result above the threshold raises the alert.
  virtual bool heart_rate_alert_on() const = 0;
  //! The text of the alert: the rest reminder's text.
  virtual std::string alert_text() const = 0;
};

// Until settings are wired in: no threshold, no alert.
class NoHeartAlertSettings final : public HeartAlertSettings {
 public:
  int heart_rate_threshold() const override { return 0; }
  bool heart_rate_alert_on() const override { return false; }
  std::string alert_text() const override { return user_text::kRestReminder; }
};

}  // namespace corvane
