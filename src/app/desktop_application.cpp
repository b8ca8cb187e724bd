#include "app/desktop_application.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "app/artwork.h"
#include "app/device_notifiers.h"
#include "app/main_window.h"
#ifndef _WIN32
#include "app/posix_signals.h"
#endif
#include "app/qt_notifier.h"
#include "app/qt_scheduler.h"
#include "app/replay_player.h"
#include "app/screenshot_tour.h"
#include "app/single_instance.h"
#include "engine/composition.h"
#include "platform/device_monitor.h"
#ifdef CORVANE_HAVE_EXPORT
#include "export/device_id.h"
#endif
#include "platform/folders.h"
#include "replay/capture.h"
#include "replay/replay_clock.h"
#include "platform/system_clock.h"
#include "views/font_table.h"
#include "views/ui_texts.h"

// Resources of a static library are registered by hand, from the global namespace.
static void init_corvane_resources() {
  Q_INIT_RESOURCE(corvane);
}

namespace corvane {
namespace {

constexpr const char* kEmbeddedFont = ":/corvane/fonts/CorvaneSansJP-Regular.otf";

FontChoice set_up_fonts() {
  QFile file(QString::fromLatin1(kEmbeddedFont));
  const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  const FontChoice choice = choose_fonts(QFontDatabase::families(), data);
  ui_fonts().set(choice);
  set_ui_font_face(choice.face);
  // Message boxes, menus and the pages' widgets draw with the same face.
  QFont app_font = QApplication::font();
  app_font.setFamily(choice.face);
  QApplication::setFont(app_font);
  return choice;
}

}  // namespace

void DesktopApplication::init_resources() {
  init_corvane_resources();
}

QString DesktopApplication::demo_capture_path() {
  return QStringLiteral(":/corvane/demo/demo.capture");
}

int DesktopApplication::run(int& argc, char** argv, const Start& start) {
  const CommandLine& options = start.options;
  init_corvane_resources();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("corvane"));
  QApplication::setQuitOnLastWindowClosed(false);  // the program lives on in the tray
  QApplication::setWindowIcon(app_icon());

  const std::filesystem::path data_folder = options.data_dir ? *options.data_dir : default_data_folder();
  std::error_code ec;
  std::filesystem::create_directories(data_folder, ec);
  if (ec) {
    std::cerr << "corvane: cannot create the data folder " << data_folder.string() << ": " << ec.message()
              << '\n';
    return 2;
  }
  const QString folder = QString::fromStdString(data_folder.string());

  // One program per data folder. "/close" asks the running one to end and ends itself.
  SingleInstance instance(folder);
  const SingleInstance::Claim claim = instance.claim();
  if (options.close) {
    if (claim != SingleInstance::Claim::AlreadyRunning) return 0;  // nothing runs there
    if (!SingleInstance::send_close(folder)) {
      std::cerr << "corvane: the running program did not answer the close request\n";
      return 1;
    }
    return 0;
  }
  if (claim == SingleInstance::Claim::AlreadyRunning) return 0;
  if (claim == SingleInstance::Claim::Failed)
    std::cerr << "corvane: " << instance.error().toStdString()
              << "; going on without the single-instance guard\n";

  // The input: a capture (given, or the built-in demo) is read before anything runs.
  CaptureParse capture;
  if (start.demo) {
    QFile file(demo_capture_path());
    if (!file.open(QIODevice::ReadOnly)) {
      std::cerr << "corvane: this build has no demo capture\n";
      return 2;
    }
    const QByteArray text = file.readAll();
    capture =
        parse_capture(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), "demo");
  } else if (options.replay) {
    capture = read_capture(*options.replay);
  }
  if (!capture) {
    std::cerr << "corvane: " << capture.error << '\n';
    return 2;
  }

  const FontChoice fonts = set_up_fonts();
  QtNotifier notifier;
  if (!fonts.error.isEmpty()) notifier.show_message(fonts.error.toStdString());

#ifdef CORVANE_HAVE_EXPORT
  // Read from "set.ini", or made, stored and registered in the background on the first start.
  const DeviceIdStartup ids = read_or_create_device_id(data_folder);
  const std::string device_id = ids.id;
#else
  const std::string device_id;
#endif
  set_ui_device_id(QString::fromStdString(device_id));

  // A capture runs on its own clock when it names its start; otherwise on this machine's.
  std::unique_ptr<Clock> clock;
  if (options.start)
    clock = std::make_unique<ReplayClock>(*options.start, ReplayClock::Mode::RealTime);
  else
    clock = std::make_unique<SystemClock>();

  std::unique_ptr<MainWindow> window;
  std::unique_ptr<Engine> engine;
  QtScheduler scheduler([&](TimerId id) {
    if (id == TimerId::TrayMenuDelay || id == TimerId::HideOnceShown) {
      if (window) window->on_timer(id);
    } else if (engine) {
      engine->on_timer(id);
    }
  });
  const EngineConfig config{data_folder, static_cast<std::uint32_t>(QApplication::doubleClickInterval()),
                            device_id};
  engine = make_engine(config, *clock, scheduler, notifier);

  MainWindow::Options window_options;
  window_options.start_hidden = options.hide;
  window_options.device_id = QString::fromStdString(device_id);
  window_options.program_path = QApplication::applicationFilePath();
  window = std::make_unique<MainWindow>(*engine, scheduler, window_options);
  notifier.set_owner(window.get());
  engine->add_sensor_listener(*window);

  int status = 0;
  QObject::connect(window.get(), &MainWindow::exit_finished, &app, [&](bool saved, const QString& error) {
    if (!saved) {
      std::cerr << "corvane: the day file could not be written: " << error.toStdString() << '\n';
      status = 1;
    }
    instance.acknowledge_close();
    QApplication::quit();
  });
  QObject::connect(&instance, &SingleInstance::close_requested, window.get(), &MainWindow::exit_from_outside);

  // However the event loop ends (a desktop session closing, say), the day is saved first.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, window.get(), [&window] {
    if (!window->exit_done()) window->quit_from_tray();
  });
#ifndef _WIN32
  PosixSignals posix_signals;
  QObject::connect(&posix_signals, &PosixSignals::termination_requested, window.get(),
                   &MainWindow::exit_from_outside);
#endif

  engine->start();
  window->show();

  std::unique_ptr<DeviceMonitor> monitor;
  std::unique_ptr<DeviceNotifiers> notifiers;
  std::unique_ptr<ReplayPlayer> player;
  if (start.demo || options.replay) {
    player = std::make_unique<ReplayPlayer>(std::move(capture.entries), *engine);
    player->set_looping(start.demo);
    QObject::connect(player.get(), &ReplayPlayer::finished, player.get(), [&player] {
      std::cerr << "corvane: replay finished (" << player->delivered() << " reports)" << std::endl;
    });
    player->start();
  } else {
    std::string error;
    monitor = open_device_layer(*engine, error);
    if (monitor) {
      monitor->on_warning = [&notifier](const std::string& text) { notifier.show_message(text); };
      notifiers = std::make_unique<DeviceNotifiers>(*monitor);
      if (const auto failure = monitor->start()) {
        // Registration failed: the program goes on without mouse data.
        std::cerr << "corvane: " << *failure << '\n';
        notifier.show_message("error");
      }
    } else {
      // Without mouse data the program still shows its pages and saved days.
      std::cerr << "corvane: " << error << '\n';
      notifier.show_message("error");
    }
  }

  std::unique_ptr<ScreenshotTour> tour;
  if (!start.screenshots.isEmpty()) {
    tour = std::make_unique<ScreenshotTour>(*window, start.screenshots, start.screenshot_delay_ms);
    QObject::connect(tour.get(), &ScreenshotTour::done, window.get(), [&](bool ok) {
      if (!ok) status = 1;
      window->quit_from_tray();
    });
    tour->start();
  }

  QApplication::exec();
  tour.reset();
  // The window is gone before the engine and the input it listens to.
  player.reset();
  notifiers.reset();
  monitor.reset();
  window.reset();
  return status;
}

}  // namespace corvane
