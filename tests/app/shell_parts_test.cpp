// The desktop program's parts below the window: Qt scheduler and message boxes, the device descriptors on
// the event loop, real-time replay, autostart and artwork.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <thread>

#include "app/artwork.h"
#include "app/autostart.h"
#include "app/device_notifiers.h"
#include "app/main_layout.h"
#include "app/qt_notifier.h"
#include "app/qt_scheduler.h"
#include "app/replay_player.h"
#include "platform/file_read.h"
#include "support/qt_test_runner.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

// A device monitor over pipes: each read end is a "device"; on_readable drains it.
class PipeMonitor final : public DeviceMonitor {
 public:
  PipeMonitor() { add(); }
  Result<void> start() override { return {}; }
  ~PipeMonitor() override {
    for (auto& [r, w] : pipes) {
      ::close(r);
      ::close(w);
    }
  }
  int add() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return -1;
    pipes[fds[0]] = fds[1];
    if (on_descriptor_added) on_descriptor_added(fds[0]);
    return fds[0];
  }
  void unplug(int fd) {
    if (on_descriptor_removing) on_descriptor_removing(fd);
    ::close(fd);
    ::close(pipes[fd]);
    pipes.erase(fd);
  }
  std::vector<int> descriptors() const override {
    std::vector<int> out;
    for (auto& [r, w] : pipes)
      out.push_back(r);
    return out;
  }
  void on_readable(int fd) override {
    char b[64];
    ssize_t n;
    while ((n = ::read(fd, b, sizeof b)) > 0)
      reads.push_back(fd);
    if (unplug_on_read) unplug(fd);
  }
  void poke(int fd) { [[maybe_unused]] auto n = ::write(pipes[fd], "x", 1); }

  std::map<int, int> pipes;  // read end -> write end
  std::vector<int> reads;
  bool unplug_on_read = false;
};

struct RecordingSink final : ReportSink {
  void on_mouse_report(const MouseReport& r) override { mice.push_back(r.button_flags); }
  void on_hid_report(const HidReport& r) override { hids.push_back(r.bytes.size()); }
  std::vector<std::uint16_t> mice;
  std::vector<std::size_t> hids;
};

std::vector<CaptureEntry> three_reports() {
  const auto parsed = parse_capture(
      "corvane-capture 1\n"
      "0 mouse 0x0001 rel 0 0 1 1 sensor\n"
      "1 mouse 0x0002 rel 0 0 1 1 sensor\n"
      "2 hid 010e000000000000000000000000000000\n",
      "test");
  return *parsed;
}

}  // namespace

class QtServicesTest final : public QtTestGroup<QtServicesTest> {
  Q_OBJECT
 private slots:
  void scheduler_start_restarts_with_new_period_and_stop_stops() {
    std::vector<TimerId> fired;
    QtScheduler s([&](TimerId id) { fired.push_back(id); });
    s.start_timer(TimerId::StatusDrain, 800);
    QCOMPARE(s.period_ms(TimerId::StatusDrain), 800);
    s.start_timer(TimerId::StatusDrain, 100);
    QCOMPARE(s.period_ms(TimerId::StatusDrain), 100);
    s.stop_timer(TimerId::StatusDrain);
    QVERIFY(!s.running(TimerId::StatusDrain));
    QCOMPARE(s.period_ms(TimerId::StatusDrain), 0);
    s.stop_timer(TimerId::Upload);  // never started: nothing happens
    s.start_timer(TimerId::HeartReceive, 1);
    QTRY_VERIFY(!fired.empty());
    QCOMPARE(fired.front(), TimerId::HeartReceive);
  }

  void message_box_does_not_block_and_reports_its_closing() {
    QtNotifier notifier;
    int closed = 0;
    notifier.show_message("error", [&] { ++closed; });
    QCOMPARE(notifier.open_boxes(), 1);
    QCOMPARE(closed, 0);
    QMessageBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<QMessageBox*>(w);
          b && b->isVisible() && b->text() == QStringLiteral("error"))
        box = b;
    QVERIFY(box);
    box->button(QMessageBox::Ok)->click();
    QTRY_COMPARE(closed, 1);
    QCOMPARE(notifier.open_boxes(), 0);
  }

  void message_from_another_thread_shows_on_gui_thread() {
    QtNotifier notifier;
    std::thread([&] { notifier.show_message("from a worker"); }).join();
    QTRY_COMPARE(notifier.open_boxes(), 1);
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) {
        QCOMPARE(b->thread(), QApplication::instance()->thread());
        b->button(QMessageBox::Ok)->click();
      }
    QTRY_COMPARE(notifier.open_boxes(), 0);
  }
};

class DeviceNotifiersTest final : public QtTestGroup<DeviceNotifiersTest> {
  Q_OBJECT
 private slots:
  void data_on_descriptor_calls_monitor() {
    PipeMonitor monitor;
    DeviceNotifiers notifiers(monitor);
    QCOMPARE(notifiers.watched(), std::size_t{1});
    const int fd = monitor.descriptors().front();
    monitor.poke(fd);
    QTRY_COMPARE(monitor.reads.size(), std::size_t{1});
    QCOMPARE(monitor.reads.front(), fd);
  }

  void plugged_device_is_watched_and_unplugged_one_forgotten() {
    PipeMonitor monitor;
    DeviceNotifiers notifiers(monitor);
    const int added = monitor.add();
    QCOMPARE(notifiers.watched(), std::size_t{2});
    monitor.poke(added);
    QTRY_VERIFY(std::find(monitor.reads.begin(), monitor.reads.end(), added) != monitor.reads.end());
    monitor.unplug(added);
    QCOMPARE(notifiers.watched(), std::size_t{1});
  }

  void unplug_from_inside_its_own_read_is_safe() {
    PipeMonitor monitor;
    DeviceNotifiers notifiers(monitor);
    monitor.unplug_on_read = true;
    monitor.poke(monitor.descriptors().front());
    QTRY_COMPARE(notifiers.watched(), std::size_t{0});
    QCoreApplication::processEvents();  // the notifier is deleted later; nothing may fire on it
    QCOMPARE(monitor.reads.size(), std::size_t{1});
  }
};

class ReplayPlayerTest final : public QtTestGroup<ReplayPlayerTest> {
  Q_OBJECT
 private slots:
  void capture_is_delivered_in_order_then_finishes() {
    RecordingSink sink;
    ReplayPlayer player(three_reports(), sink);
    QSignalSpy finished(&player, &ReplayPlayer::finished);
    player.start();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(sink.mice, (std::vector<std::uint16_t>{0x0001, 0x0002}));
    QCOMPARE(sink.hids.size(), std::size_t{1});
  }

  void looping_capture_starts_over() {
    RecordingSink sink;
    ReplayPlayer player(three_reports(), sink);
    player.set_looping(true);
    QSignalSpy finished(&player, &ReplayPlayer::finished);
    player.start();
    QTRY_VERIFY_WITH_TIMEOUT(sink.mice.size() >= 4, 10000);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(sink.mice[2], std::uint16_t{0x0001});
  }
};

class DesktopFilesTest final : public QtTestGroup<DesktopFilesTest> {
  Q_OBJECT
 private slots:
  void autostart_entry_written_and_removed() {
    TempFolder folder;
    const auto entry = folder.path() / "autostart" / "corvane.desktop";
    QVERIFY(!autostart_enabled(entry));
    QVERIFY(set_autostart(true, "/opt/My \"Corvane\"/100%/corvane", entry).has_value());
    QVERIFY(autostart_enabled(entry));
    const std::string text = read_whole_file(entry).value_or("");
    QVERIFY(text.find("[Desktop Entry]\n") == 0);
    QVERIFY(text.find("Exec=\"/opt/My \\\"Corvane\\\"/100%%/corvane\" /hide\n") != std::string::npos);
    QVERIFY(set_autostart(false, "", entry).has_value());
    QVERIFY(!autostart_enabled(entry));
    QVERIFY(set_autostart(false, "", entry).has_value());  // already off
  }

  void every_artwork_renders() {
    for (int n = 0; n < kArtworkCount; ++n) {
      const QImage image = artwork_pixmap(static_cast<Artwork>(n), QSize(64, 64)).toImage();
      QVERIFY2(!image.isNull(), qPrintable(QString::number(n)));
      int opaque = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          opaque += qAlpha(image.pixel(x, y)) > 200;
      QVERIFY2(opaque > 100, qPrintable(QString::number(n)));
    }
    QVERIFY(artwork_pixmap(static_cast<Artwork>(kArtworkCount), QSize(10, 10)).isNull());
    QVERIFY(artwork_pixmap(Artwork::AppIcon, QSize(2, 2), 2.0).devicePixelRatio() == 2.0);
  }
};

}  // namespace corvane::testing

#include "shell_parts_test.moc"
