// Two real programs on one data folder: a second start, with or without windows, is refused with a
// message and leaves the first running; "/close" from a second program ends the first, desktop or
// headless, without a question, and the first's day file then holds the counts of the reports it
// received. The first is fed by a capture in real time (--replay).
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "activitylog/day_file.h"
#include "support/qt_test_runner.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

constexpr const char* kStart = "2026-03-04T10:20:00";
constexpr const char* kDayFile = "20260304.txt";

// Two left clicks far apart, a right click, a little travel: the sensor mouse at 10:20.
constexpr const char* kCapture =
    "corvane-capture 1\n"
    "0 mouse 0x0001 rel 0 0 10 10 \\\\?\\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c}\n"
    "40 mouse 0x0002 rel 0 0 10 10 \\\\?\\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c}\n"
    "900 mouse 0x0001 rel 0 0 400 400 \\\\?\\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c}\n"
    "940 mouse 0x0002 rel 0 0 400 400 \\\\?\\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c}\n"
    "1000 mouse 0x0004 rel 0 0 400 400 \\\\?\\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c}\n"
    "1040 mouse 0x0008 rel 3 4 400 400 \\\\?\\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c}\n"
    "1100 mouse 0x0000 rel 30 40 400 400 \\\\?\\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c}\n"
    "1200 mouse 0x0001 rel 0 0 5 5 \\\\?\\HID#VID_046D&PID_C077#7&1a2b3c4d&0&0000#{378de44c}\n";

}  // namespace

class TwoProcessTest final : public QtTestGroup<TwoProcessTest> {
  Q_OBJECT

  TempFolder home_;
  QString data_;
  QString capture_;

  QProcessEnvironment environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), QString::fromStdString(home_.path().string()));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString((home_.path() / "config").string()));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString((home_.path() / "run").string()));
    env.insert(QStringLiteral("CORVANE_REGISTRATION_URL"), QStringLiteral("http://127.0.0.1:9"));
    return env;
  }

  void start(QProcess& p, const QStringList& args) {
    p.setProcessEnvironment(environment());
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QStringLiteral(CORVANE_PROGRAM), args);
    QVERIFY2(p.waitForStarted(10000), qPrintable(p.errorString()));
  }

  // The first program, once it has played the whole capture.
  void start_first(QProcess& first) {
    start(first, {QStringLiteral("--data-dir"), data_, QStringLiteral("--replay"), capture_,
                  QStringLiteral("--start"), QString::fromLatin1(kStart)});
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += first.readAllStandardError()).contains("replay finished"), 30000);
  }

  // A headless program that has the data folder: its capture ends ten minutes after its clicks.
  void start_headless_first(QProcess& first) {
    QFile f(capture_);
    QVERIFY(f.open(QIODevice::Append));
    f.write("600000 mouse 0x0000 rel 0 0 5 5 other-mouse\n");
    f.close();
    start(first,
          {QStringLiteral("--headless"), QStringLiteral("--data-dir"), data_, QStringLiteral("--replay"),
           capture_, QStringLiteral("--start"), QString::fromLatin1(kStart)});
    // Once its number stands in the lock file, the first holds the folder and its engine is about to run.
    // (Probing with a second start here could take the folder for a moment, just when the first claims it.)
    const QByteArray pid = QByteArray::number(first.processId()) + ' ';
    QTRY_VERIFY2_WITH_TIMEOUT(lock_file_names(pid), first.readAllStandardError().constData(), 30000);
  }

  // A second program started with `closer_args` ends `first`: both end cleanly.
  void close_and_see_it_end(QProcess& first, const QStringList& closer_args) {
    QProcess closer;
    start(closer, closer_args);
    QVERIFY(closer.waitForFinished(20000));
    QCOMPARE(closer.exitCode(), 0);
    QVERIFY(first.waitForFinished(20000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
  }

  DailyActivity saved_day(RecordingNotifier& notifier) const {
    return load_day(std::filesystem::path(data_.toStdString()), kDayFile, notifier);
  }

  bool lock_file_names(const QByteArray& pid) const {
    QFile lock(data_ + QStringLiteral("/.corvane.lock"));
    return lock.open(QIODevice::ReadOnly) && lock.readAll().startsWith(pid);
  }

  // A second headless start on the data folder: true when it was refused because the folder is in use.
  // Its capture does not exist, so where the folder is free it ends at once, having changed nothing.
  bool refused_start() {
    QProcess second;
    second.setProcessEnvironment(environment());
    second.start(
        QStringLiteral(CORVANE_PROGRAM),
        {QStringLiteral("--headless"), QStringLiteral("--data-dir"), data_, QStringLiteral("--replay"),
         QString::fromStdString((home_.path() / "no-such.capture").string())});
    if (!second.waitForFinished(15000)) return false;
    return second.exitCode() == 3 && second.readAllStandardError().contains("is in use by another Corvane");
  }

  static void end(QProcess& p) {
    if (p.state() != QProcess::NotRunning) {
      p.kill();
      p.waitForFinished(30000);  // a loaded machine may take a while to end it and free the folder
    }
  }

 private slots:
  void init() {
    data_ = QString::fromStdString((home_.path() / "data").string());
    QDir().mkpath(data_);
    QDir().mkpath(QString::fromStdString((home_.path() / "run").string()));
    QFile::remove(data_ + QLatin1Char('/') + QLatin1String(kDayFile));
    capture_ = QString::fromStdString((home_.path() / "clicks.capture").string());
    QFile f(capture_);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(kCapture);
  }

  void second_start_while_running_exits_at_once_and_first_runs_on() {
    QProcess first;
    start_first(first);
    QProcess second;
    start(second, {QStringLiteral("--data-dir"), data_});
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 3);
    QVERIFY(second.readAllStandardError().contains("is in use by another Corvane"));
    QVERIFY(refused_start());  // nor may a headless program write the same day file
    QCOMPARE(first.state(), QProcess::Running);
    end(first);
  }

  void close_ends_a_headless_program_which_saves_its_counts() {
    QProcess first;
    start_headless_first(first);
    QProcess desktop;
    start(desktop, {QStringLiteral("--data-dir"), data_});
    QVERIFY(desktop.waitForFinished(15000));
    QCOMPARE(desktop.exitCode(), 3);
    QTest::qWait(4000);  // the clicks lie in the capture's first 1.2 s

    close_and_see_it_end(
        first, {QStringLiteral("--headless"), QStringLiteral("/close"), QStringLiteral("--data-dir"), data_});
    RecordingNotifier notifier;
    const DailyActivity day = saved_day(notifier);
    QCOMPARE(day.clicks[0][10], 2u);
    QCOMPARE(day.move_counts[10], 55u);
    // The folder is free again at once: a new start is not refused.
    QProcess next;
    start(next,
          {QStringLiteral("--headless"), QStringLiteral("--data-dir"), data_, QStringLiteral("--replay"),
           capture_, QStringLiteral("--fast"), QStringLiteral("--start"), QString::fromLatin1(kStart)});
    QVERIFY(next.waitForFinished(20000));
    QCOMPARE(next.exitCode(), 0);
  }

  void close_from_second_start_ends_first_which_saves_its_counts() {
    QProcess first;
    start_first(first);
    // No question stops it: the first ends by itself.
    close_and_see_it_end(first, {QStringLiteral("--data-dir"), data_, QStringLiteral("/CLOSE")});

    RecordingNotifier notifier;
    const DailyActivity day = saved_day(notifier);
    QVERIFY(notifier.messages.empty());
    QCOMPARE(day.loaded, 1u);
    QCOMPARE(day.clicks[0][10], 2u);  // the other mouse's click does not count
    QCOMPARE(day.clicks[1][10], 1u);
    QCOMPARE(day.double_clicks[0][10], 0u);
    QCOMPARE(day.move_counts[10], 55u);  // 5 + 50
  }

  void close_without_running_program_ends_at_once() {
    QProcess closer;
    start(closer, {QStringLiteral("--data-dir"), data_, QStringLiteral("--close")});
    QVERIFY(closer.waitForFinished(15000));
    QCOMPARE(closer.exitCode(), 0);
    QVERIFY(!QFile::exists(data_ + QLatin1Char('/') + QLatin1String(kDayFile)));
  }

  void start_after_crash_takes_over_folder() {
    QProcess crashed;
    start_first(crashed);
    crashed.kill();  // SIGKILL: lock file and socket stay behind
    QVERIFY(crashed.waitForFinished(5000));
    QProcess next;
    start_first(next);  // plays its capture: it did not end as a second start would
    QCOMPARE(next.state(), QProcess::Running);
    QProcess closer;
    start(closer, {QStringLiteral("--data-dir"), data_, QStringLiteral("/close")});
    QVERIFY(closer.waitForFinished(20000));
    QVERIFY(next.waitForFinished(20000));
    QCOMPARE(next.exitCode(), 0);
  }
};

}  // namespace corvane::testing

#include "two_process_test.moc"
