#include "views/export_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "engine/composition.h"
#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "support/fake_clock.h"
#include "support/qt_test_runner.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"
#include "views/alert_settings_dialog.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

// The export page on the program's engine (alert rules, upload, export) with a fake clock. The data
// folder holds a device ID, so nothing is registered; CTest points the upload tool at /bin/true.
class ExportPageTest final : public testing::QtTestGroup<ExportPageTest> {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempFolder> folder_;
  testing::FakeClock clock_{LocalDateTime{2026, 12, 8, 10, 0, 0, 0, 2}};
  testing::VirtualTime scheduler_;
  testing::RecordingNotifier notifier_;
  EngineParts parts_;
  Engine* engine_ = nullptr;
  std::unique_ptr<ExportPage> page_;

  UploadComponent& upload() { return *parts_.upload; }
  AlertComponent& alerts() { return *parts_.alerts; }

 private slots:
  void init() {
    folder_ = std::make_unique<testing::TempFolder>();
    QVERIFY(write_file_atomically(folder_->path() / "set.ini", "[arg]\nid=1234567890123456\n").has_value());
    parts_ = make_engine(EngineConfig{folder_->path(), 500}, clock_, scheduler_, notifier_);
    engine_ = parts_.engine.get();
    engine_->start();
    page_ = std::make_unique<ExportPage>(nullptr);
    page_->resize(961, 516);
    page_->attach(*engine_, upload(), alerts());
  }
  void cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<AlertSettingsDialog*>(w)) w->close();
    page_.reset();
    static_cast<void>(engine_->shutdown());
    parts_ = {};
    engine_ = nullptr;
    notifier_.messages.clear();
  }

  void export_writes_the_chosen_file_with_the_proposed_name() {
    QString proposed;
    const QString out = QString::fromStdString((folder_->path() / "out.csv").string());
    page_->choose_export_file = [&](const QString& name) {
      proposed = name;
      return out;
    };
    QTest::mouseClick(page_.get(), Qt::LeftButton, {},
                      page_->tile_rect(ExportPage::Tile::CsvExport).center());
    QCOMPARE(proposed, QStringLiteral("heartrate_2026-12-08"));
    const std::string text = read_whole_file(folder_->path() / "out.csv").value_or("");
    QVERIFY(text.starts_with("Heart rate history\n"));
    QVERIFY(notifier_.messages.empty());
  }

  void export_cancelled_writes_nothing() {
    page_->choose_export_file = [](const QString&) { return QString(); };
    page_->activate(ExportPage::Tile::CsvExport);
    QVERIFY(notifier_.messages.empty());
    QCOMPARE(std::distance(std::filesystem::directory_iterator(folder_->path()), {}), 1);  // set.ini
  }

  void export_write_failure_says_error() {
    page_->choose_export_file = [&](const QString&) {
      return QString::fromStdString((folder_->path() / "no-such-folder" / "out.csv").string());
    };
    page_->activate(ExportPage::Tile::CsvExport);
    QCOMPARE(notifier_.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(notifier_.messages[0]), QStringLiteral("error"));
  }

  void upload_shows_uploading_while_it_runs_then_how_it_went() {
    QCOMPARE(page_->tile_label(ExportPage::Tile::Upload), ui_text(text::kDataUpload));
    QCOMPARE(page_->upload_caption(), QStringLiteral("upload.json"));
    page_->activate(ExportPage::Tile::Upload);
    QCOMPARE(page_->tile_label(ExportPage::Tile::Upload), ui_text(text::kUploading));
    page_->activate(ExportPage::Tile::Upload);  // ignored while one runs
    QCOMPARE(upload().uploader()->uploads_started(), 1);

    engine_->wait_for_background_work();  // the file written, the tool ended, its end taken up
    QCOMPARE(page_->tile_label(ExportPage::Tile::Upload), ui_text(text::kDataUpload));
    QCOMPARE(notifier_.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(notifier_.messages[0]), ui_text(text::kUploadDone));
    QVERIFY(std::filesystem::exists(folder_->path() / "upload.json"));
    QCOMPARE(page_->upload_caption(), QStringLiteral("前回のアップロード 12/8 10:00: 成功"));

    // An automatic upload that fails says so nowhere else: the page names the log that tells why.
    std::filesystem::remove(folder_->path() / "upload.json");
    std::filesystem::create_directory(folder_->path() / "upload.json");
    clock_.set_wall({2026, 12, 8, 11, 3, 0, 0, 2});
    engine_->on_timer(TimerId::Upload);
    engine_->wait_for_background_work();
    QCOMPARE(page_->upload_caption(), QStringLiteral("前回のアップロード 12/8 11:03: 失敗（corvane.log）"));
    QCOMPARE(notifier_.messages.size(), std::size_t{1});
  }

  void settings_open_one_at_a_time_and_reload_after_apply() {
    QCOMPARE(alerts().rules().settings().click_limit, 0);
    page_->activate(ExportPage::Tile::AlertSettings);
    AlertSettingsDialog* first = page_->settings_dialog();
    QVERIFY(first);
    QVERIFY(first->isModal());
    page_->activate(ExportPage::Tile::AlertSettings);
    QCOMPARE(page_->settings_dialog(), first);

    first->findChild<QCheckBox*>(QStringLiteral("check_bt"))->setChecked(true);
    first->findChild<QLineEdit*>(QStringLiteral("ab_time"))->setText(QStringLiteral("1"));
    first->findChild<QLineEdit*>(QStringLiteral("ab_count"))->setText(QStringLiteral("250"));
    first->findChild<QPushButton*>(QStringLiteral("apply"))->click();
    QVERIFY(!page_->settings_dialog());
    QCOMPARE(alerts().rules().settings().click_limit, 250);
    QCOMPARE(alerts().rules().settings().click_window_hours, 1);
  }

  void settings_cancel_still_reloads() {
    page_->activate(ExportPage::Tile::AlertSettings);
    // The file changes behind the page's back; closing the page (even by cancel) reads it again.
    QVERIFY(write_file_atomically(folder_->path() / "set.ini",
                                  "[arg]\nid=1234567890123456\n[Alert]\ncheck_bpm=1\nbpm=130\n")
                .has_value());
    page_->settings_dialog()->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    QCOMPARE(alerts().rules().settings().heart_rate_limit, 130);
    page_->activate(ExportPage::Tile::AlertSettings);
    QVERIFY(page_->settings_dialog());
  }
};

}  // namespace

}  // namespace corvane

#include "export_page_test.moc"
