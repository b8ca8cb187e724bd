#include "app/screenshot_tour.h"

#include <QDialog>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include "app/main_window.h"
#include "heart/heart_monitor.h"
#include "views/alert_settings_dialog.h"
#include "views/export_page.h"
#include "views/heart_rate_page.h"
#include "views/language.h"
#include "views/status_page.h"

namespace corvane {
namespace {

// One picture: the button that brings up its page, what to set up on it first, and a condition to wait
// for (the heart-rate page's states come and go with the thumb in the capture).
struct Shot {
  WindowButton press;
  const char* file;
  void (*prepare)(MainWindow&) = nullptr;
  bool (*ready)(const MainWindow&) = nullptr;
  bool of_settings_dialog = false;  // the picture is of the alert settings dialog, not of the main window
};

void heart_measurement_view(MainWindow& w) {
  if (w.heart_rate_page()->showing_results()) w.heart_rate_page()->toggle_view();
}
bool heart_counting(const MainWindow& w) {
  const HeartMonitor* m = w.heart_rate_page()->monitor();
  return m && m->view().message.rfind("wait ", 0) == 0;
}
bool heart_result_fixed(const MainWindow& w) {
  const HeartMonitor* m = w.heart_rate_page()->monitor();
  return m && m->state().result_fixed;
}

// The main menu, then each page in its main states: today, a month and a chosen day (the script seeds
// day files three and five days back), the measurement counting down and with its result, the list of
// results, the export page and its alert settings dialog.
const Shot kShots[] = {
    {WindowButton::MainMenu, "main_menu.png"},
    {WindowButton::StatusTile, "tab_status.png", [](MainWindow& w) { w.status_page()->show_today(); }},
    {WindowButton::StatusTab, "status_month.png",
     [](MainWindow& w) {
       w.status_page()->show_month(w.status_page()->today().year, w.status_page()->today().month);
     }},
    {WindowButton::StatusTab, "status_day.png",
     [](MainWindow& w) {
       const LocalDate t = w.status_page()->today();
       const LocalDateTime d = add_days(LocalDateTime{t.year, t.month, t.day}, -3);
       w.status_page()->show_day({d.year, d.month, d.day});
     }},
    {WindowButton::HeartRateTab, "tab_heart.png",
     [](MainWindow& w) {
       w.status_page()->show_today();
       heart_measurement_view(w);
     },
     heart_counting},
    {WindowButton::HeartRateTab, "heart_result.png", heart_measurement_view, heart_result_fixed},
    {WindowButton::HeartRateTab, "heart_results.png",
     [](MainWindow& w) { w.heart_rate_page()->toggle_view(); }},
    {WindowButton::ExportTab, "tab_export.png", heart_measurement_view},
    {WindowButton::ExportTab, "alert_settings.png",
     [](MainWindow& w) { w.export_page()->activate(ExportPage::Tile::AlertSettings); }, nullptr, true},
};
constexpr int kReadyPollMs = 100;
constexpr int kReadyTimeoutMs = 150'000;  // a state the capture never reaches is pictured as it stands
constexpr int kSettleMs = 700;            // long enough for the window to repaint after a page change

// An English tour writes its pictures beside the Japanese ones: "main_menu.png" becomes "main_menu_en.png".
QString file_of(const Shot& shot) {
  QString name = QString::fromLatin1(shot.file);
  if (installed_ui_language() == UiLanguage::English)
    name.insert(name.lastIndexOf(u'.'), QStringLiteral("_en"));
  return name;
}

}  // namespace

ScreenshotTour::ScreenshotTour(MainWindow& window, QString folder, int delay_ms, QObject* parent)
    : QObject(parent), window_(window), folder_(std::move(folder)), delay_ms_(delay_ms) {}

QStringList ScreenshotTour::file_names() {
  QStringList names;
  for (const Shot& s : kShots)
    names << file_of(s);
  return names;
}

void ScreenshotTour::start() {
  QDir().mkpath(folder_);
  QTimer::singleShot(delay_ms_, this, [this] {
    window_.restore_window();
    go();
  });
}

void ScreenshotTour::go() {
  const Shot& shot = kShots[next_];
  window_.press(shot.press);
  if (shot.prepare) shot.prepare(window_);
  waited_ms_ = 0;
  wait_until_ready();
}

void ScreenshotTour::wait_until_ready() {
  const Shot& shot = kShots[next_];
  if (shot.ready && !shot.ready(window_) && waited_ms_ < kReadyTimeoutMs) {
    waited_ms_ += kReadyPollMs;
    QTimer::singleShot(kReadyPollMs, this, &ScreenshotTour::wait_until_ready);
    return;
  }
  if (shot.ready && waited_ms_ >= kReadyTimeoutMs)
    std::cerr << "corvane: " << file_of(shot).toStdString()
              << ": the state to picture did not come; pictured as it stands\n";
  QTimer::singleShot(kSettleMs, this, &ScreenshotTour::step);
}

void ScreenshotTour::step() {
  const Shot& shot = kShots[next_];
  QWidget* subject = &window_;
  if (shot.of_settings_dialog && window_.export_page()->settings_dialog())
    subject = window_.export_page()->settings_dialog();
  QScreen* screen = subject->screen();
  const QPixmap picture = screen ? screen->grabWindow(subject->winId()) : QPixmap();
  if (subject != &window_) static_cast<QDialog*>(subject)->reject();
  const QString path = QDir(folder_).filePath(file_of(shot));
  if (picture.isNull() || !picture.save(path, "PNG")) {
    std::cerr << "corvane: could not save " << path.toStdString() << '\n';
    ok_ = false;
  } else {
    std::cout << "screenshot: " << QDir(path).absolutePath().toStdString() << std::endl;
  }
  if (++next_ >= static_cast<int>(std::size(kShots))) {
    emit done(ok_);
    return;
  }
  go();
}

}  // namespace corvane
