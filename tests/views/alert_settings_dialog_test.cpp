#include "views/alert_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "alerts/ini_file.h"
#include "alerts/settings_file.h"
#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "support/qt_test_runner.h"
#include "support/temp_folder.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

// The alert settings page against a real "set.ini" in a temporary data folder.
class AlertSettingsDialogTest final : public testing::QtTestGroup<AlertSettingsDialogTest> {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempFolder> folder_;
  std::unique_ptr<AlertSettingsDialog> dlg_;

  std::filesystem::path ini() const { return folder_->path() / kSettingsFileName; }
  void write_ini(const std::string& text) { QVERIFY(write_file_atomically(ini(), text).has_value()); }
  void open() { dlg_ = std::make_unique<AlertSettingsDialog>(folder_->path()); }
  template <typename W>
  W* control(const char* name) {
    W* w = dlg_->findChild<W*>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
  }
  int hour_combos_enabled() {
    int n = 0;
    for (int j = 1; j <= 12; ++j)
      if (control<QComboBox>(QStringLiteral("hr_hour%1").arg(j).toLatin1().constData())->isEnabled()) ++n;
    return n;
  }
  std::string read_key(const char* key) {
    return IniFile::load(ini()).get_string(kAlertSection, key, "<missing>");
  }

 private slots:
  void init() { folder_ = std::make_unique<testing::TempFolder>(); }
  void cleanup() { dlg_.reset(); }

  void fill_puts_every_key_into_its_control() {
    write_ini(
        "[Alert]\nab_time=2\nab_count=1500\nmove_time=3\nmove_distance=40\nbpm=110\ncheck_bt=1\ncheck_move="
        "0\n"
        "check_bpm=1\ncheck_msg2=1\nmsg=stand up\ncheck_alert_hr_opt=1\ncheck_hr_day2=1\ncheck_hr_msg=1\n"
        "msg_hr=measure now\nhr_hour_count=2\nhr_hour1=9\nhr_hour2=15\n");
    open();
    QCOMPARE(dlg_->windowTitle(), ui_text(text::kAlertPageTitle));
    QCOMPARE(control<QLineEdit>("ab_time")->text(), QStringLiteral("2"));
    QCOMPARE(control<QLineEdit>("ab_count")->text(), QStringLiteral("1500"));
    QCOMPARE(control<QLineEdit>("move_distance")->text(), QStringLiteral("40"));
    QCOMPARE(control<QLineEdit>("bpm")->text(), QStringLiteral("110"));
    QVERIFY(control<QCheckBox>("check_bt")->isChecked());
    QVERIFY(!control<QCheckBox>("check_move")->isChecked());
    QVERIFY(control<QCheckBox>("check_msg2")->isChecked());
    QCOMPARE(control<QLineEdit>("msg")->text(), QStringLiteral("stand up"));
    QCOMPARE(control<QLineEdit>("msg_hr")->text(), QStringLiteral("measure now"));
    QVERIFY(control<QCheckBox>("check_hr_day2")->isChecked());
    QVERIFY(!control<QCheckBox>("check_hr_day3")->isChecked());
    QCOMPARE(control<QComboBox>("hr_hour_count")->currentIndex(), 2);
    QCOMPARE(control<QComboBox>("hr_hour_count")->count(), 13);
    QCOMPARE(control<QComboBox>("hr_hour_count")->itemText(0), QStringLiteral("毎時"));
    QCOMPARE(control<QComboBox>("hr_hour1")->currentText(), QStringLiteral("9時"));
    QCOMPARE(control<QComboBox>("hr_hour2")->currentData().toInt(), 15);
    QCOMPARE(control<QComboBox>("hr_hour3")->currentIndex(), -1);  // never chosen
    QCOMPARE(control<QComboBox>("hr_hour3")->count(), 24);
  }

  void enable_count_three_enables_exactly_three_hour_combos() {
    write_ini("[Alert]\ncheck_alert_hr_opt=1\nhr_hour_count=3\n");
    open();
    QCOMPARE(hour_combos_enabled(), 3);
    QVERIFY(control<QComboBox>("hr_hour3")->isEnabled());
    QVERIFY(!control<QComboBox>("hr_hour4")->isEnabled());
    control<QComboBox>("hr_hour_count")->setCurrentIndex(5);
    QCOMPARE(hour_combos_enabled(), 5);
    control<QComboBox>("hr_hour_count")->setCurrentIndex(0);  // "毎時"
    QCOMPARE(hour_combos_enabled(), 0);
    control<QComboBox>("hr_hour_count")->setCurrentIndex(12);
    QCOMPARE(hour_combos_enabled(), 12);
  }

  void enable_reminders_off_disables_every_reminder_control() {
    write_ini("[Alert]\ncheck_alert_hr_opt=0\nhr_hour_count=4\n");
    open();
    QCOMPARE(hour_combos_enabled(), 0);
    QVERIFY(!control<QComboBox>("hr_hour_count")->isEnabled());
    QVERIFY(!control<QLineEdit>("msg_hr")->isEnabled());
    for (const char* name :
         {"check_hr_hour", "check_hr_everyday", "check_hr_day0", "check_hr_day6", "check_hr_msg"})
      QVERIFY2(!control<QCheckBox>(name)->isEnabled(), name);
    QVERIFY(control<QLineEdit>("ab_time")->isEnabled());  // the rest reminder does not depend on it

    control<QCheckBox>("check_alert_hr_opt")->click();
    QCOMPARE(hour_combos_enabled(), 4);
    QVERIFY(control<QComboBox>("hr_hour_count")->isEnabled());
    QVERIFY(control<QLineEdit>("msg_hr")->isEnabled());
    QVERIFY(control<QCheckBox>("check_hr_day0")->isEnabled());
  }

  void enable_every_day_disables_the_weekdays() {
    write_ini("[Alert]\ncheck_alert_hr_opt=1\ncheck_hr_everyday=1\n");
    open();
    for (int d = 0; d < 7; ++d)
      QVERIFY(
          !control<QCheckBox>(QStringLiteral("check_hr_day%1").arg(d).toLatin1().constData())->isEnabled());
    QVERIFY(control<QCheckBox>("check_hr_everyday")->isEnabled());
    control<QCheckBox>("check_hr_everyday")->click();
    for (int d = 0; d < 7; ++d)
      QVERIFY(
          control<QCheckBox>(QStringLiteral("check_hr_day%1").arg(d).toLatin1().constData())->isEnabled());
  }

  void apply_writes_an_empty_number_edit_as_zero() {
    write_ini("[Alert]\nab_time=5\nbpm=120\n");
    open();
    control<QLineEdit>("ab_time")->clear();
    control<QPushButton>("apply")->click();
    QCOMPARE(dlg_->result(), int(QDialog::Accepted));
    QCOMPARE(read_key("ab_time"), std::string("0"));
    QCOMPARE(read_key("bpm"), std::string("120"));
  }

  void apply_after_typing_grouped_number_writes_what_edit_shows() {
    // Under a locale with digit grouping the edit must not take a separator it cannot read back.
    const QLocale before = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    open();
    QLocale::setDefault(before);
    QLineEdit* count = control<QLineEdit>("ab_count");
    count->clear();
    QTest::keyClicks(count, QStringLiteral("1,500"));
    control<QPushButton>("apply")->click();
    QCOMPARE(read_key("ab_count"), count->text().toStdString());
    QCOMPARE(read_key("ab_count"), std::string("1500"));
  }

  void apply_keeps_hidden_controls_and_other_content() {
    write_ini(
        "; user "
        "notes\n[arg]\nid=1234567890123456\n[Alert]\nlb_time1=7\nlb_time2=8\nlb_count1=300\nrb_count=400\n"
        "check_msg1=1\ncheck_hr_hour=1\nfuture_key=keep me\n");
    open();
    QVERIFY(!control<QLineEdit>("lb_time1")->isVisibleTo(dlg_.get()));
    QVERIFY(!control<QCheckBox>("check_msg1")->isVisibleTo(dlg_.get()));
    QCOMPARE(control<QLineEdit>("rb_count")->text(), QStringLiteral("400"));
    control<QPushButton>("apply")->click();
    QCOMPARE(read_key("lb_time1"), std::string("7"));
    QCOMPARE(read_key("lb_time2"), std::string("8"));
    QCOMPARE(read_key("lb_count1"), std::string("300"));
    QCOMPARE(read_key("rb_count"), std::string("400"));
    QCOMPARE(read_key("check_msg1"), std::string("1"));
    QCOMPARE(read_key("check_hr_hour"), std::string("1"));
    QCOMPARE(read_key("future_key"), std::string("keep me"));
    QCOMPARE(IniFile::load(ini()).get_string("arg", "id", ""), std::string("1234567890123456"));
    const std::string text = read_whole_file(ini()).value_or("");
    QVERIFY(text.starts_with("; user notes\n"));
  }

  void apply_writes_every_key_with_its_selection() {
    open();  // no file: all defaults
    control<QCheckBox>("check_bt")->click();
    control<QLineEdit>("ab_count")->setText(QStringLiteral("-3"));
    control<QCheckBox>("check_alert_hr_opt")->click();
    control<QComboBox>("hr_hour_count")->setCurrentIndex(2);
    control<QComboBox>("hr_hour2")->setCurrentIndex(23);
    control<QLineEdit>("msg")->setText(QStringLiteral("休憩"));
    control<QPushButton>("apply")->click();
    const StoredAlertSettings s = load_alert_settings_file(folder_->path());
    QCOMPARE(s.check_bt, 1);
    QCOMPARE(s.ab_count, -3);
    QCOMPARE(s.check_alert_hr_opt, 1);
    QCOMPARE(s.hr_hour_count, 2);
    QCOMPARE(s.hr_hour[1], 23);
    QCOMPARE(s.hr_hour[0], -1);
    QCOMPARE(s.msg, std::string("休憩"));
    for (const char* key : {"lb_time1", "check_hr_day6", "hr_hour12", "msg_hr", "check_move"})
      QVERIFY2(read_key(key) != "<missing>", key);
  }

  void apply_that_cannot_write_says_error_and_stays_open() {
    dlg_ = std::make_unique<AlertSettingsDialog>(folder_->path() / "no-such-folder");
    dlg_->show();
    control<QLineEdit>("ab_time")->setText(QStringLiteral("4"));
    control<QPushButton>("apply")->click();
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->result(), 0);
    auto* box = dlg_->findChild<QMessageBox*>(QStringLiteral("write_error"));
    QVERIFY(box);
    QVERIFY(box->text().startsWith(QStringLiteral("error")));
    QCOMPARE(control<QLineEdit>("ab_time")->text(), QStringLiteral("4"));  // nothing typed is lost
  }

  void cancel_writes_nothing() {
    write_ini("[Alert]\nab_time=5\n");
    const std::string before = read_whole_file(ini()).value_or("");
    open();
    control<QLineEdit>("ab_time")->setText(QStringLiteral("9"));
    control<QPushButton>("cancel")->click();
    QCOMPARE(dlg_->result(), int(QDialog::Rejected));
    QCOMPARE(read_whole_file(ini()).value_or(""), before);
  }
};

}  // namespace

}  // namespace corvane

#include "alert_settings_dialog_test.moc"
