#include "app/screenshot_tour.h"

#include <QDir>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include "app/corvane_dlg.h"

namespace corvane {
namespace {

// (select-page argument, file): the main menu, then the three pages through their tiles and tabs.
struct Shot {
  int select_page;
  const char* file;
};
constexpr Shot kShots[] = {
    {6, "main_menu.png"},
    {3, "tab_status.png"},
    {1, "tab_heart.png"},
    {2, "tab_history.png"},
};
constexpr int kSettleMs = 700;  // long enough for the window to repaint after a page change

}  // namespace

ScreenshotTour::ScreenshotTour(CCorvaneDlg& window, QString folder, int delay_ms, QObject* parent)
    : QObject(parent), window_(window), folder_(std::move(folder)), delay_ms_(delay_ms) {}

QStringList ScreenshotTour::file_names() {
  QStringList names;
  for (const Shot& s : kShots)
    names << QString::fromLatin1(s.file);
  return names;
}

void ScreenshotTour::start() {
  QDir().mkpath(folder_);
  QTimer::singleShot(delay_ms_, this, [this] {
    window_.restore_window();
    window_.select_page(kShots[0].select_page);
    QTimer::singleShot(kSettleMs, this, &ScreenshotTour::step);
  });
}

void ScreenshotTour::step() {
  const Shot& shot = kShots[next_];
  QScreen* screen = window_.screen();
  const QPixmap picture = screen ? screen->grabWindow(window_.winId()) : QPixmap();
  const QString path = QDir(folder_).filePath(QString::fromLatin1(shot.file));
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
  window_.select_page(kShots[next_].select_page);
  QTimer::singleShot(kSettleMs, this, &ScreenshotTour::step);
}

}  // namespace corvane
