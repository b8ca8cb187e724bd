#include "app/desktop_application.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>
#include <QSocketNotifier>
#include <iostream>
#include <memory>
#include <optional>

#include "app/artwork.h"
#include "app/device_notifiers.h"
#include "app/main_window.h"
#include "app/qt_notifier.h"
#include "app/qt_scheduler.h"
#include "app/replay_player.h"
#include "app/screenshot_tour.h"
#include "base/user_texts.h"
#include "engine/composition.h"
#include "engine/startup.h"
#include "export/device_id.h"
#include "platform/device_monitor.h"
#include "platform/stop_signals.h"
#include "views/font_table.h"
#include "views/language.h"
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

// Another machine is noted as the data folder's holder: only the user knows whether Corvane still runs
// there, so the desktop program asks rather than ending without a word.
bool ask_to_take_over(const StartupFailure& held) {
  const QString since =
      held.holder_since.empty() ? QStringLiteral("?") : QString::fromStdString(held.holder_since);
  QMessageBox box(QMessageBox::Question, QString(),
                  shown_text(user_text::kFolderHeldElsewhereQuestionFormat)
                      .arg(QString::fromStdString(held.holder_host), since),
                  QMessageBox::Yes | QMessageBox::No);
  box.setDetailedText(QString::fromStdString(held.message));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace

void DesktopApplication::init_resources() {
  init_corvane_resources();
}

QString DesktopApplication::demo_capture_path() {
  return QStringLiteral(":/corvane/demo/demo.capture");
}

int DesktopApplication::run(int& argc, char** argv, const CommandLine& options) {
  init_corvane_resources();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("corvane"));
  QApplication::setQuitOnLastWindowClosed(false);  // the program lives on in the tray
  QApplication::setWindowIcon(app_icon());
  // Before any window: every text is looked up in the language chosen here.
  if (!install_ui_language(choose_ui_language(options.lang, QLocale::system().name())))
    std::cerr << "corvane: this build has no English translation; the texts stay Japanese\n";

  QByteArray demo_text;
  std::optional<BuiltinCapture> demo;
  if (options.demo) {
    QFile file(demo_capture_path());
    if (!file.open(QIODevice::ReadOnly)) {
      std::cerr << "corvane: this build has no demo capture\n";
      return kExitUnusableStart;
    }
    demo_text = file.readAll();
    demo = BuiltinCapture{std::string_view(demo_text.constData(), static_cast<std::size_t>(demo_text.size())),
                          "demo"};
  }
  // Before the first question: the question draws with the program's font.
  const FontChoice fonts = set_up_fonts();
  auto started = start_up(options, demo);
  if (!started && started.error().can_take_over && !options.force && ask_to_take_over(started.error())) {
    CommandLine forced = options;
    forced.force = true;
    started = start_up(forced, demo);
  }
  if (!started) {
    std::cerr << "corvane: " << started.error().message << '\n';
    return started.error().exit_status;
  }
  Startup& startup = *started;

  QtNotifier notifier;
  if (!fonts.error.isEmpty()) notifier.show_message(fonts.error.toStdString());

  // Read from "set.ini", or made, stored and registered in the background on the first start; the
  // window's title shows it before the engine starts.
  const DeviceIdStartup ids = read_or_create_device_id(startup.data_folder);
  const std::string device_id = ids.id;
  set_ui_device_id(QString::fromStdString(device_id));

  const std::unique_ptr<Clock> clock = make_wall_clock(options);
  std::unique_ptr<MainWindow> window;
  EngineParts parts;
  QtScheduler scheduler([&](TimerId id) {
    if (id == TimerId::TrayMenuDelay || id == TimerId::HideOnceShown) {
      if (window) window->on_timer(id);
    } else if (parts.engine) {
      parts.engine->on_timer(id);
    }
  });
  const EngineConfig config{startup.data_folder,
                            static_cast<std::uint32_t>(QApplication::doubleClickInterval()), device_id};
  parts = make_engine(config, *clock, scheduler, notifier);
  Engine& engine = *parts.engine;

  MainWindow::Options window_options;
  window_options.start_hidden = options.hide;
  window_options.device_id = QString::fromStdString(device_id);
  window_options.program_path = QApplication::applicationFilePath();
  window = std::make_unique<MainWindow>(parts, scheduler, window_options);
  notifier.set_owner(window.get());
  engine.add_sensor_listener(*window);

  int status = kExitClean;
  QObject::connect(window.get(), &MainWindow::exit_finished, &app, [&](bool saved, const QString& error) {
    if (!saved) {
      std::cerr << "corvane: the day file could not be written: " << error.toStdString() << '\n';
      status = kExitFailed;
    }
    // A /close that ended us learns only now, with the day saved, that we are done.
    startup.guard->acknowledge_close();
    QApplication::quit();
  });
  QSocketNotifier close_requests(startup.guard->listen_fd(), QSocketNotifier::Read);
  QObject::connect(&close_requests, &QSocketNotifier::activated, window.get(), [&] {
    if (startup.guard->on_readable()) window->exit_from_outside();
  });

  // However the event loop ends (a desktop session closing, say), the day is saved first.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, window.get(), [&window] {
    if (!window->exit_done()) window->quit_from_tray();
  });
  // Ctrl-C, SIGTERM or a logout end the program through the same path, saving the day.
  StopSignals stop_signals;
  std::unique_ptr<QSocketNotifier> stop_requests;
  if (stop_signals.descriptor() >= 0) {
    stop_requests = std::make_unique<QSocketNotifier>(stop_signals.descriptor(), QSocketNotifier::Read);
    QObject::connect(stop_requests.get(), &QSocketNotifier::activated, window.get(), [&] {
      if (stop_signals.take_requests()) window->exit_from_outside();
    });
  }

  engine.start();
  window->show();

  std::unique_ptr<DeviceMonitor> monitor;
  std::unique_ptr<DeviceNotifiers> notifiers;
  std::unique_ptr<ReplayPlayer> player;
  if (startup.capture) {
    player = std::make_unique<ReplayPlayer>(std::move(*startup.capture), engine);
    player->set_looping(options.demo);
    QObject::connect(player.get(), &ReplayPlayer::finished, player.get(), [&player] {
      std::cerr << "corvane: replay finished (" << player->delivered() << " reports)" << std::endl;
    });
    player->start();
  } else {
    Result<std::unique_ptr<DeviceMonitor>> layer = open_device_layer(engine);
    if (layer) {
      monitor = std::move(*layer);
      monitor->on_warning = [&notifier](const std::string& text) { notifier.show_message(text); };
      notifiers = std::make_unique<DeviceNotifiers>(*monitor);
      if (const Result<void> started_watching = monitor->start(); !started_watching) {
        // Registration failed: the program goes on without mouse data.
        std::cerr << "corvane: " << started_watching.error().message << '\n';
        notifier.show_message("error");
      }
    } else {
      // Without mouse data the program still shows its pages and saved days.
      std::cerr << "corvane: " << layer.error().message << '\n';
      notifier.show_message("error");
    }
  }

  std::unique_ptr<ScreenshotTour> tour;
  if (options.screenshots) {
    tour = std::make_unique<ScreenshotTour>(*window, QString::fromStdString(options.screenshots->string()),
                                            options.screenshot_delay_s * 1000);
    QObject::connect(tour.get(), &ScreenshotTour::done, window.get(), [&](bool ok) {
      if (!ok) status = kExitFailed;
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
