#include "record_command.h"

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devices/device_monitor_linux.h"
#include "platform/atomic_file.h"
#include "replay/capture.h"

namespace corvane {
namespace {

volatile sig_atomic_t g_stop_requested = 0;

void request_stop(int) {
  g_stop_requested = 1;
}

std::int64_t steady_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// SIGINT and SIGTERM end the recording (the capture is still written). They stay blocked outside
// ppoll(), so one arriving between two waits is not lost; the previous handling comes back at the end.
class StopSignals final {
 public:
  StopSignals() {
    g_stop_requested = 0;
    struct sigaction action {};
    action.sa_handler = request_stop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_int_);
    sigaction(SIGTERM, &action, &old_term_);
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGINT);
    sigaddset(&block, SIGTERM);
    sigprocmask(SIG_BLOCK, &block, &wait_mask_);
  }
  ~StopSignals() {
    sigprocmask(SIG_SETMASK, &wait_mask_, nullptr);
    sigaction(SIGINT, &old_int_, nullptr);
    sigaction(SIGTERM, &old_term_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  //! The signal mask to wait with: the stop signals let through.
  const sigset_t* wait_mask() const { return &wait_mask_; }

 private:
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
  sigset_t wait_mask_{};
};

struct RecordOptions {
  std::string output;
  std::optional<double> seconds;
};

constexpr const char* kUsage =
    "usage: corvane-capture record OUTPUT [--seconds N]\n"
    "  Records the sensor mouse's reports (buttons, motion, vendor reports) through the device layer\n"
    "  into the capture OUTPUT, until N seconds have passed or Ctrl-C. Other mice are not read.\n";

std::optional<RecordOptions> parse_options(const std::vector<std::string>& args, std::ostream& err) {
  RecordOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      err << kUsage;
      return std::nullopt;
    }
    if (args[i] == "--seconds") {
      if (i + 1 >= args.size()) {
        err << "corvane-capture record: --seconds needs a number\n";
        return std::nullopt;
      }
      const std::string& text = args[++i];
      double value = 0;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
      if (ec != std::errc() || end != text.data() + text.size() || !(value > 0)) {
        err << "corvane-capture record: --seconds wants a positive number, not \"" << text << "\"\n";
        return std::nullopt;
      }
      options.seconds = value;
    } else if (options.output.empty() && !args[i].starts_with("--")) {
      options.output = args[i];
    } else {
      err << "corvane-capture record: unexpected argument \"" << args[i] << "\"\n";
      return std::nullopt;
    }
  }
  if (options.output.empty()) {
    err << kUsage;
    return std::nullopt;
  }
  return options;
}

}  // namespace

CaptureRecorder::CaptureRecorder(std::function<std::int64_t()> now_ms)
    : now_ms_(std::move(now_ms)), start_ms_(now_ms_()) {}

std::int64_t CaptureRecorder::elapsed_ms() {
  // Never decreasing, whatever the clock does.
  last_ms_ = std::max(last_ms_, now_ms_() - start_ms_);
  return last_ms_;
}

void CaptureRecorder::on_mouse_report(const MouseReport& report) {
  lines_.push_back(format_capture_line(elapsed_ms(), report));
  ++reports_;
}

void CaptureRecorder::on_hid_report(const HidReport& report) {
  lines_.push_back(format_capture_line(elapsed_ms(), report));
  ++reports_;
}

void CaptureRecorder::note(const std::string& text) {
  // A comment is one line: line breaks inside would end it early.
  std::string line = "# " + text;
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  lines_.push_back(std::move(line));
}

std::string CaptureRecorder::text() const {
  std::string out(kCaptureHeader);
  out += '\n';
  for (const auto& line : lines_) {
    out += line;
    out += '\n';
  }
  return out;
}

int run_record_command(const std::vector<std::string>& args, std::ostream& err) {
  const bool help = std::find(args.begin(), args.end(), "--help") != args.end() ||
                    std::find(args.begin(), args.end(), "-h") != args.end();
  const auto options = parse_options(args, err);
  if (!options) return help ? 0 : 2;

  CaptureRecorder recorder(steady_ms);
  recorder.note("recorded by corvane-capture record from the sensor mouse's device nodes");
  auto monitor = create_device_monitor(recorder);
  std::size_t nodes = 0;
  bool started = false;
  monitor->on_descriptor_added = [&](int) {
    ++nodes;
    if (started) recorder.note("a device node of the sensor mouse appeared");
  };
  monitor->on_descriptor_removing = [&](int) {
    if (nodes > 0) --nodes;
    recorder.note("a device node of the sensor mouse went away");
  };
  monitor->on_warning = [&](const std::string& text) {
    err << "corvane-capture record: " << text << "\n";
    recorder.note("warning: " + text);
  };

  const StopSignals signals;
  if (const Result<void> watching = monitor->start(); !watching) {
    err << "corvane-capture record: " << watching.error().message << "\n";
    return 1;
  }
  started = true;
  // The hot-plug monitor is one of the descriptors; the rest are the sensor mouse's nodes.
  if (nodes <= 1) err << "corvane-capture record: no sensor mouse yet; waiting for one to be plugged in\n";
  err << "corvane-capture record: recording";
  if (options->seconds) err << " for " << *options->seconds << " s";
  err << "; Ctrl-C ends the recording\n";

  const std::int64_t start = steady_ms();
  const std::optional<std::int64_t> end =
      options->seconds
          ? std::optional<std::int64_t>(start + static_cast<std::int64_t>(*options->seconds * 1000))
          : std::nullopt;
  while (!g_stop_requested) {
    std::optional<timespec> timeout;
    if (end) {
      const std::int64_t left = *end - steady_ms();
      if (left <= 0) break;
      timeout = timespec{static_cast<time_t>(left / 1000), static_cast<long>(left % 1000) * 1000000};
    }
    const auto fds = monitor->descriptors();
    std::vector<pollfd> polled;
    for (int fd : fds)
      polled.push_back({fd, POLLIN, 0});
    const int ready =
        ::ppoll(polled.data(), polled.size(), timeout ? &*timeout : nullptr, signals.wait_mask());
    if (ready < 0) {
      if (errno == EINTR) continue;
      err << "corvane-capture record: waiting for reports failed: " << std::strerror(errno) << "\n";
      break;
    }
    for (const auto& p : polled) {
      if (p.revents == 0) continue;
      // A node may have been closed by the hot-plug handling of an earlier descriptor.
      const auto now = monitor->descriptors();
      if (std::find(now.begin(), now.end(), p.fd) == now.end()) continue;
      monitor->on_readable(p.fd);
    }
  }
  monitor.reset();

  const auto written = write_file_atomically(options->output, recorder.text());
  if (!written) {
    err << "corvane-capture record: cannot write " << options->output << ": " << written.error().message
        << "\n";
    return 1;
  }
  err << "corvane-capture record: " << recorder.report_count() << " reports written to " << options->output
      << "\n";
  return 0;
}

}  // namespace corvane
