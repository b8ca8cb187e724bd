// corvane-capture from-ppg: a PPG recording as the sensor reports the mouse would send.
#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "replay/ppg_capture.h"
#include "subcommand.h"

namespace corvane {
namespace {

std::optional<double> seconds(const std::string& s) {
  double v = 0;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc{} || ptr != s.data() + s.size() || !std::isfinite(v) || v < 0) return std::nullopt;
  return v;
}

constexpr const char* kUsage =
    "RECORDING.csv [-o CAPTURE] [--rest-at S]... [--lift-at S]... [--offset-ms N] [--rate HZ] "
    "[--page-signal]\n"
    "  RECORDING.csv  a PPG recording: a header \"t_s,ppg\", then one sample a line\n"
    "  -o CAPTURE     write the capture there (default: standard output)\n"
    "  --rest-at S    the thumb comes to rest on the sensor S seconds into the recording\n"
    "  --lift-at S    the thumb is lifted S seconds into the recording\n"
    "                 (without either the thumb rests all the time; a first --rest-at means it\n"
    "                 arrives then, a first --lift-at that it rested from the start)\n"
    "  --offset-ms N  t_ms of the first report (default 0)\n"
    "  --rate HZ      reports per second (default 21.7: the sensor's true sample clock, which the\n"
    "                 detection library's frequency offset expects)\n"
    "  --page-signal  begin with the report that brings up the heart-rate page";

}  // namespace

int run_from_ppg_command(const std::vector<std::string>& args, std::ostream& err) {
  std::string input;
  std::string output;
  PpgCaptureOptions options;
  auto usage_error = [&err](const std::string& what) {
    err << "corvane-capture from-ppg: " << what << "\nusage: corvane-capture from-ppg " << kUsage << '\n';
    return 2;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "-o" || a == "--output") {
      if (!has_value) return usage_error(a + " needs a file");
      output = args[++i];
    } else if (a == "--rest-at" || a == "--lift-at") {
      const auto t = has_value ? seconds(args[++i]) : std::nullopt;
      if (!t) return usage_error(a + " needs a time in seconds, 0 or more");
      options.contact.push_back({*t, a == "--rest-at"});
    } else if (a == "--offset-ms") {
      std::int64_t v = -1;
      if (has_value) {
        const std::string& s = args[++i];
        const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec != std::errc{} || ptr != s.data() + s.size()) v = -1;
      }
      if (v < 0) return usage_error("--offset-ms needs a whole number of milliseconds, 0 or more");
      options.offset_ms = v;
    } else if (a == "--rate") {
      const auto hz = has_value ? seconds(args[++i]) : std::nullopt;
      if (!hz || *hz < 1.0 || *hz > 1000.0) return usage_error("--rate needs reports per second, 1 to 1000");
      options.rate_hz = *hz;
    } else if (a == "--help" || a == "-h") {
      std::cout << "usage: corvane-capture from-ppg " << kUsage << '\n';
      return 0;
    } else if (a == "--page-signal") {
      options.page_signal = true;
    } else if (!a.empty() && a[0] == '-') {
      return usage_error("unknown option " + a);
    } else if (input.empty()) {
      input = a;
    } else {
      return usage_error("one recording at a time");
    }
  }
  if (input.empty()) return usage_error("no recording given");

  const auto text = read_whole_file(input);
  if (!text) {
    err << "corvane-capture from-ppg: " << text.error().message << '\n';
    return 1;
  }
  const Result<std::vector<PpgSample>> recording = parse_ppg_csv(*text, input);
  if (!recording) {
    err << "corvane-capture from-ppg: " << recording.error().message << '\n';
    return 1;
  }
  const std::string capture = ppg_to_capture(*recording, options, input);
  if (output.empty() || output == "-") {
    std::cout << capture << std::flush;
    return std::cout ? 0 : 1;
  }
  const Result<void> written = write_file_atomically(output, capture);
  if (!written) {
    err << "corvane-capture from-ppg: " << written.error().message << '\n';
    return 1;
  }
  return 0;
}

}  // namespace corvane
