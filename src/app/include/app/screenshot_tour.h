#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace corvane {

class MainWindow;

// Pictures of the real window as the X server shows it, for the documentation and for the demo run
// where nobody watches a screen: after a delay, shows the main menu and each page in its main states in
// turn (waiting, where a state depends on the input, until it comes), saves a PNG of the window for
// each, then ends the program through its normal exit path.
class ScreenshotTour final : public QObject {
  Q_OBJECT
 public:
  ScreenshotTour(MainWindow& window, QString folder, int delay_ms, QObject* parent = nullptr);
  void start();

  //! The files the tour writes, in order.
  static QStringList file_names();

 signals:
  void done(bool ok);

 private:
  void go();                // selects and sets up the next picture
  void wait_until_ready();  // polls the picture's condition
  void step();              // takes it

  MainWindow& window_;
  QString folder_;
  int delay_ms_;
  int next_ = 0;
  int waited_ms_ = 0;
  bool ok_ = true;
};

}  // namespace corvane
