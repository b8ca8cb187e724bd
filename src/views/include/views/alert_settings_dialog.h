#pragma once

#include <QDialog>
#include <array>
#include <filesystem>

#include "alerts/settings_file.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace corvane {

// The alert settings page ("アラート設定画面"): every key of section "Alert" of "set.ini" has a control,
// including the ones the page keeps hidden (left/right click alerts, the fixed-text switch, the by-hour
// switch), so that a round trip through the page keeps them. Filled from the file when built; "適用"
// writes every key and closes, "キャンセル" closes without writing.
//
// Each control's object name is its key ("ab_time", "check_hr_day3", "hr_hour12", ...).
class AlertSettingsDialog final : public QDialog {
  Q_OBJECT
 public:
  AlertSettingsDialog(std::filesystem::path data_folder, QWidget* parent = nullptr);

  //! Puts stored settings into the controls and runs the enable rules.
  void fill(const StoredAlertSettings& settings);
  //! What the controls hold, read as "適用" writes it: an empty or unreadable number edit is 0, a combo
  //! without a selection is -1.
  StoredAlertSettings collect() const;

  //! "適用": writes every key, then closes. A failed write is shown and keeps the page open, so the
  //! user does not leave believing the settings were kept.
  void apply();

  //! The enable rules: the reminder controls follow "測定タイミングをアラートで表示する"; the weekdays
  //! are off while "毎日" is on; of the twelve hour combos the first n are on, n the choice of the count.
  void apply_enable_rules();

 private:
  QLineEdit* add_number(const char* key);
  QCheckBox* add_check(const char* key, const QString& label);

  std::filesystem::path data_folder_;
  std::array<QLineEdit*, 9> numbers_{};
  QCheckBox *check_bt_{}, *check_move_{}, *check_bpm_{}, *check_msg1_{}, *check_msg2_{};
  QCheckBox *check_alert_hr_opt_{}, *check_hr_hour_{}, *check_hr_everyday_{}, *check_hr_msg_{};
  std::array<QCheckBox*, 7> check_hr_day_{};
  QLineEdit *msg_{}, *msg_hr_{};
  QComboBox* hr_hour_count_{};
  std::array<QComboBox*, kReminderSlots> hr_hour_{};
};

}  // namespace corvane
