#include "views/alert_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/user_texts.h"
#include "views/font_table.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

// The nine number keys, in the order of StoredAlertSettings; the first, second, fourth and fifth are the
// hidden left/right click alerts.
constexpr const char* kNumberKeys[9] = {"lb_time1", "lb_time2",  "ab_time",       "lb_count1", "rb_count",
                                        "ab_count", "move_time", "move_distance", "bpm"};
constexpr int kAbTime = 2, kAbCount = 5, kMoveTime = 6, kMoveDistance = 7, kBpm = 8;
constexpr int kHiddenNumbers[] = {0, 1, 3, 4};

int StoredAlertSettings::*const kNumberMembers[9] = {
    &StoredAlertSettings::lb_time1,  &StoredAlertSettings::lb_time2,      &StoredAlertSettings::ab_time,
    &StoredAlertSettings::lb_count1, &StoredAlertSettings::rb_count,      &StoredAlertSettings::ab_count,
    &StoredAlertSettings::move_time, &StoredAlertSettings::move_distance, &StoredAlertSettings::bpm};

// An edit's text as a signed integer; an empty or unreadable edit counts as 0.
int edit_number(const QLineEdit* edit) {
  bool ok = false;
  const int v = edit->text().trimmed().toInt(&ok);
  return ok ? v : 0;
}

int checked(const QCheckBox* box) {
  return box->isChecked() ? 1 : 0;
}

QLabel* label(int text_index) {
  return new QLabel(ui_text(text_index));
}

}  // namespace

AlertSettingsDialog::AlertSettingsDialog(std::filesystem::path data_folder, QWidget* parent)
    : QDialog(parent), data_folder_(std::move(data_folder)) {
  setObjectName(QStringLiteral("AlertSettingsDialog"));
  setWindowTitle(ui_text(text::kAlertPageTitle));
  setModal(true);
  QFont body = ui_fonts().font(FontRole::Body);
  body.setPixelSize(14);
  setFont(body);

  for (int i = 0; i < 9; ++i)
    numbers_[static_cast<std::size_t>(i)] = add_number(kNumberKeys[i]);
  for (int i : kHiddenNumbers)
    numbers_[static_cast<std::size_t>(i)]->hide();

  auto* root = new QVBoxLayout(this);
  root->setSpacing(10);
  root->setContentsMargins(18, 16, 18, 14);

  // --- the conditions of the rest reminder and the heart-rate alert ---
  auto* conditions = new QGroupBox(ui_text(text::kAlertConditions));
  auto* grid = new QGridLayout(conditions);
  grid->setHorizontalSpacing(6);
  check_bt_ = add_check("check_bt", ui_text(text::kAlertByClicks));
  grid->addWidget(check_bt_, 0, 0, 1, 6);
  grid->addWidget(label(text::kTotalClicks), 1, 0);
  grid->addWidget(label(text::kParticleGa), 1, 1);
  grid->addWidget(numbers_[kAbTime], 1, 2);
  grid->addWidget(label(text::kWithinHours), 1, 3);
  grid->addWidget(numbers_[kAbCount], 1, 4);
  grid->addWidget(label(text::kTimesExceeded), 1, 5);

  check_move_ = add_check("check_move", ui_text(text::kCursorTravel));
  grid->addWidget(check_move_, 2, 0);
  grid->addWidget(label(text::kParticleGa), 2, 1);
  grid->addWidget(numbers_[kMoveTime], 2, 2);
  grid->addWidget(label(text::kWithinHours), 2, 3);
  grid->addWidget(numbers_[kMoveDistance], 2, 4);
  grid->addWidget(label(text::kMetresExceeded), 2, 5);

  check_bpm_ = add_check("check_bpm", ui_text(text::kMeasuredHeartRate));
  grid->addWidget(check_bpm_, 3, 0);
  grid->addWidget(label(text::kWhenMeasuring), 3, 1, 1, 2, Qt::AlignRight);
  grid->addWidget(numbers_[kBpm], 3, 4);
  grid->addWidget(label(text::kBpmExceeded), 3, 5);
  grid->setColumnStretch(6, 1);
  grid->setColumnMinimumWidth(6, 8);
  // The hidden left/right click alerts stay in the dialog so that they are filled and written back.
  for (int i : kHiddenNumbers)
    grid->addWidget(numbers_[static_cast<std::size_t>(i)], 4, 0);
  root->addWidget(conditions);

  // --- the text of the rest reminder ---
  auto* content = new QGroupBox(ui_text(text::kAlertText));
  auto* content_grid = new QGridLayout(content);
  check_msg1_ = add_check("check_msg1", ui_text(text::kDefaultBreakText));
  check_msg1_->hide();
  content_grid->addWidget(check_msg1_, 0, 0, 1, 2);
  auto* fixed_text = label(text::kDefaultBreakText);
  fixed_text->setObjectName(QStringLiteral("default_msg_label"));
  content_grid->addWidget(fixed_text, 0, 0, 1, 2);
  check_msg2_ = add_check("check_msg2", ui_text(text::kOther));
  content_grid->addWidget(check_msg2_, 1, 0);
  msg_ = new QLineEdit;
  msg_->setObjectName(QStringLiteral("msg"));
  msg_->setMaxLength(static_cast<int>(kMaxMessageChars));
  content_grid->addWidget(msg_, 1, 1);
  root->addWidget(content);

  // --- the measurement reminders ---
  auto* reminders = new QGroupBox;
  auto* rem = new QGridLayout(reminders);
  check_alert_hr_opt_ = add_check("check_alert_hr_opt", shown_text(user_text::kShowReminders));
  rem->addWidget(check_alert_hr_opt_, 0, 0, 1, 8);

  hr_hour_count_ = new QComboBox;
  hr_hour_count_->setObjectName(QStringLiteral("hr_hour_count"));
  hr_hour_count_->addItem(shown_text(user_text::kEveryHour));
  for (int n = 1; n <= kReminderSlots; ++n)
    hr_hour_count_->addItem(QString::number(n));
  check_hr_hour_ = add_check("check_hr_hour", shown_text(user_text::kReminderHours));
  check_hr_hour_->hide();
  rem->addWidget(check_hr_hour_, 1, 0);
  rem->addWidget(hr_hour_count_, 1, 0);
  for (int j = 0; j < kReminderSlots; ++j) {
    auto* combo = new QComboBox;
    combo->setObjectName(QStringLiteral("hr_hour%1").arg(j + 1));
    for (int h = 0; h < 24; ++h)
      combo->addItem(shown_text(user_text::kHourFormat).arg(h), h);
    combo->setPlaceholderText(QString::fromUtf8(user_text::kNoHourChosen));
    hr_hour_[static_cast<std::size_t>(j)] = combo;
    rem->addWidget(combo, 1 + j / 6, 1 + j % 6);
  }

  auto* days = new QHBoxLayout;
  check_hr_everyday_ = add_check("check_hr_everyday", shown_text(user_text::kEveryDay));
  days->addWidget(check_hr_everyday_);
  days->addSpacing(12);
  for (int d = 0; d < 7; ++d) {
    check_hr_day_[static_cast<std::size_t>(d)] =
        add_check(QStringLiteral("check_hr_day%1").arg(d).toLatin1().constData(), shown_weekday(d));
    days->addWidget(check_hr_day_[static_cast<std::size_t>(d)]);
  }
  days->addStretch(1);
  rem->addLayout(days, 3, 0, 1, 8);

  check_hr_msg_ = add_check("check_hr_msg", ui_text(text::kOther));
  rem->addWidget(check_hr_msg_, 4, 0);
  msg_hr_ = new QLineEdit;
  msg_hr_->setObjectName(QStringLiteral("msg_hr"));
  msg_hr_->setMaxLength(static_cast<int>(kMaxMessageChars));
  msg_hr_->setPlaceholderText(shown_text(user_text::kMeasurementReminder));
  rem->addWidget(msg_hr_, 4, 1, 1, 7);
  root->addWidget(reminders);

  auto* buttons = new QDialogButtonBox;
  QPushButton* apply_button = buttons->addButton(ui_text(text::kApply), QDialogButtonBox::AcceptRole);
  apply_button->setObjectName(QStringLiteral("apply"));
  apply_button->setDefault(true);
  QPushButton* cancel_button = buttons->addButton(ui_text(text::kCancel), QDialogButtonBox::RejectRole);
  cancel_button->setObjectName(QStringLiteral("cancel"));
  connect(apply_button, &QPushButton::clicked, this, &AlertSettingsDialog::apply);
  connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
  root->addWidget(buttons);

  connect(check_alert_hr_opt_, &QCheckBox::toggled, this, &AlertSettingsDialog::apply_enable_rules);
  connect(check_hr_everyday_, &QCheckBox::toggled, this, &AlertSettingsDialog::apply_enable_rules);
  connect(hr_hour_count_, &QComboBox::currentIndexChanged, this, &AlertSettingsDialog::apply_enable_rules);

  fill(load_alert_settings_file(data_folder_));
}

QLineEdit* AlertSettingsDialog::add_number(const char* key) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(key));
  // Plain digits only: a grouped "1,500" would pass a localised validator yet read back as 0.
  auto* validator = new QIntValidator(edit);
  QLocale plain = QLocale::c();
  plain.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
  validator->setLocale(plain);
  edit->setValidator(validator);
  edit->setAlignment(Qt::AlignRight);
  edit->setFixedWidth(80);
  return edit;
}

QCheckBox* AlertSettingsDialog::add_check(const char* key, const QString& label_text) {
  auto* box = new QCheckBox(label_text, this);
  box->setObjectName(QString::fromLatin1(key));
  return box;
}

void AlertSettingsDialog::fill(const StoredAlertSettings& s) {
  for (std::size_t i = 0; i < numbers_.size(); ++i)
    numbers_[i]->setText(QString::number(s.*kNumberMembers[i]));
  check_bt_->setChecked(s.check_bt != 0);
  check_move_->setChecked(s.check_move != 0);
  check_bpm_->setChecked(s.check_bpm != 0);
  check_msg1_->setChecked(s.check_msg1 != 0);
  check_msg2_->setChecked(s.check_msg2 != 0);
  check_alert_hr_opt_->setChecked(s.check_alert_hr_opt != 0);
  check_hr_hour_->setChecked(s.check_hr_hour != 0);
  check_hr_everyday_->setChecked(s.check_hr_everyday != 0);
  for (std::size_t d = 0; d < check_hr_day_.size(); ++d)
    check_hr_day_[d]->setChecked(s.check_hr_day[d] != 0);
  check_hr_msg_->setChecked(s.check_hr_msg != 0);
  msg_->setText(QString::fromStdString(s.msg));
  msg_hr_->setText(QString::fromStdString(s.msg_hr));
  // An index outside the list leaves the combo without a selection (written back as -1).
  for (std::size_t j = 0; j < hr_hour_.size(); ++j)
    hr_hour_[j]->setCurrentIndex(s.hr_hour[j] >= 0 && s.hr_hour[j] < hr_hour_[j]->count() ? s.hr_hour[j]
                                                                                          : -1);
  hr_hour_count_->setCurrentIndex(
      s.hr_hour_count >= 0 && s.hr_hour_count < hr_hour_count_->count() ? s.hr_hour_count : -1);
  apply_enable_rules();
}

StoredAlertSettings AlertSettingsDialog::collect() const {
  StoredAlertSettings s;
  for (std::size_t i = 0; i < numbers_.size(); ++i)
    s.*kNumberMembers[i] = edit_number(numbers_[i]);
  s.check_bt = checked(check_bt_);
  s.check_move = checked(check_move_);
  s.check_bpm = checked(check_bpm_);
  s.check_msg1 = checked(check_msg1_);
  s.check_msg2 = checked(check_msg2_);
  s.check_alert_hr_opt = checked(check_alert_hr_opt_);
  s.check_hr_hour = checked(check_hr_hour_);
  s.check_hr_everyday = checked(check_hr_everyday_);
  for (std::size_t d = 0; d < check_hr_day_.size(); ++d)
    s.check_hr_day[d] = checked(check_hr_day_[d]);
  s.check_hr_msg = checked(check_hr_msg_);
  s.msg = msg_->text().toStdString();
  s.msg_hr = msg_hr_->text().toStdString();
  s.hr_hour_count = hr_hour_count_->currentIndex();
  for (std::size_t j = 0; j < hr_hour_.size(); ++j)
    s.hr_hour[j] = hr_hour_[j]->currentIndex();
  return s;
}

void AlertSettingsDialog::apply() {
  const Result<void> written = save_alert_settings_file(data_folder_, collect());
  if (!written) {
    // Shown without a nested event loop, like every other box of the program.
    auto* box = new QMessageBox(QMessageBox::Warning, QString(),
                                QString::fromUtf8(user_text::kSettingsWriteErrorFormat)
                                    .arg(QString::fromStdString(written.error().message)),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("write_error"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return;
  }
  accept();
}

void AlertSettingsDialog::apply_enable_rules() {
  // Rule 1: everything of the reminders follows its switch; rules 2 and 3 narrow it down while it is on.
  const bool on = check_alert_hr_opt_->isChecked();
  msg_hr_->setEnabled(on);
  check_hr_hour_->setEnabled(on);
  check_hr_everyday_->setEnabled(on);
  check_hr_msg_->setEnabled(on);
  hr_hour_count_->setEnabled(on);
  const bool weekdays = on && !check_hr_everyday_->isChecked();
  for (QCheckBox* day : check_hr_day_)
    day->setEnabled(weekdays);
  const int n = hr_hour_count_->currentIndex();
  for (int j = 0; j < kReminderSlots; ++j)
    hr_hour_[static_cast<std::size_t>(j)]->setEnabled(on && j < n);
}

}  // namespace corvane
