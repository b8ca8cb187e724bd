#pragma once

#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/main_layout.h"
#include "app/tray_clicks.h"
#include "engine/engine_listener.h"
#include "input/hooks.h"
#include "platform/atomic_file.h"

class QMenu;
class QAction;

namespace corvane {

class Engine;
struct EngineParts;
class Scheduler;
class StatusPage;
class HeartRatePage;
class ExportPage;
class DrawnControl;

// The main window: 1010 x 680, the tab area with the three pages (created hidden, alive until exit),
// the nine drawn buttons, the tray icon and its menu, and the exit paths that save the day.
//
// Closing the window asks whether to end the program (the quit question); "No" puts it away into the tray.
// Once the end is confirmed — by "Yes", by the tray's "Quit" or by a "/close" start — the engine's exit path
// runs (drain the queued clicks, wait for a running save, save the live day) and exit_finished() tells
// the application to end.
class MainWindow final : public QWidget, public SensorListener, private EngineListener {
  Q_OBJECT
 public:
  struct Options {
    bool start_hidden = false;  // "/hide": put away 2 ms after the window first shows
    // Asked each time the window is put away: a tray that comes up after the program (a panel that
    // starts later at login) is used from then on; without one the window is minimised instead.
    std::function<bool()> tray_available = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    QString device_id;
    QString program_path;  // what the autostart entry starts; empty leaves the switch out of the menu
  };

  //! The engine and its parts must outlive the window.
  MainWindow(const EngineParts& parts, Scheduler& scheduler, Options options, QWidget* parent = nullptr);
  ~MainWindow() override;

  //! Does what a click on the drawn button does (see MainLayout::press).
  void press(WindowButton button);
  const MainLayout& layout() const { return layout_; }

  QWidget* page(Page page) const;
  //! The keyboard's and the screen reader's side of a drawn button (see DrawnControl).
  DrawnControl* control(WindowButton button) const { return controls_.at(static_cast<std::size_t>(button)); }
  StatusPage* status_page() const { return status_page_; }
  HeartRatePage* heart_rate_page() const { return heart_rate_page_; }
  ExportPage* export_page() const { return export_page_; }

  //! The tray menu delay and the hide-once-shown timer; the application's scheduler routes them here.
  void on_timer(TimerId id);

  //! The tray icon's click sequence (the QSystemTrayIcon signal maps onto it).
  TrayClicks& tray_clicks() { return tray_clicks_; }

  //! "Open Application" and the tray double click: restored, on top, shown.
  void restore_window();
  //! The tray menu's "Quit": ends without asking.
  void quit_from_tray();
  //! A "/close" start asked us to end: ends without asking.
  void exit_from_outside();

  bool exit_requested() const { return exit_requested_; }
  bool exit_done() const { return exit_done_; }

  //! The question asked on close; returns true for "Yes". Tests replace the message box.
  std::function<bool()> ask_quit;

  QMenu* tray_menu() const { return tray_menu_; }
  QSystemTrayIcon* tray_icon() const { return tray_; }

  // SensorListener: the mouse asked for the heart-rate page.
  void take_sample_block(std::span<const std::uint8_t, 12>) override {}
  void show_heart_page() override;

 signals:
  //! The exit path has run; `saved` tells whether the final save of the day reached the disk.
  void exit_finished(bool saved, const QString& error);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // EngineListener: the heading shows the date.
  void on_day_started(const LocalDate&, const LocalDate&) override { update(); }
  void put_away();  // hide into the tray, or minimise where there is no tray to come back from
  void finish();    // the exit path: once
  void apply_layout();
  void make_controls(std::initializer_list<WindowButton> buttons);
  void build_tray();
  void open_tray_menu();
  void paint_button(class QPainter& p, WindowButton button) const;

  Engine& engine_;
  Scheduler& scheduler_;
  Options options_;
  MainLayout layout_;
  TrayClicks tray_clicks_;
  StatusPage* status_page_ = nullptr;
  HeartRatePage* heart_rate_page_ = nullptr;
  ExportPage* export_page_ = nullptr;
  std::array<DrawnControl*, kWindowButtonCount> controls_{};
  QSystemTrayIcon* tray_ = nullptr;
  QMenu* tray_menu_ = nullptr;
  QAction* autostart_action_ = nullptr;
  bool exit_requested_ = false;
  bool exit_done_ = false;
};

}  // namespace corvane
