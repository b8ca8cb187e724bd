#include "replay/ppg_capture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/reports.h"
#include "replay/capture.h"

namespace corvane {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool parse_double(std::string_view s, double& out) {
  s = trim(s);
  if (s.empty()) return false;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc{} && ptr == s.data() + s.size() && std::isfinite(out);
}

// The recording's value at time t: the mean of the samples within the 50 ms around t where there are
// several (a dense recording, so that higher frequencies do not fold into the resampled series), else
// a straight line between the neighbours. At the ends, where the window would be one-sided, the line.
double value_at(const std::vector<PpgSample>& s, double t, double rate_hz) {
  const double kHalfWindow = 0.5 / rate_hz;
  const auto by_time = [](const PpgSample& a, double x) { return a.t_s < x; };
  const auto lo = std::lower_bound(s.begin(), s.end(), t - kHalfWindow, by_time);
  const auto hi = std::lower_bound(s.begin(), s.end(), t + kHalfWindow, by_time);
  const bool window_inside = t - kHalfWindow >= s.front().t_s && t + kHalfWindow <= s.back().t_s;
  if (window_inside && hi - lo >= 2) {
    double sum = 0;
    for (auto it = lo; it != hi; ++it)
      sum += it->value;
    return sum / static_cast<double>(hi - lo);
  }
  const auto after = std::lower_bound(s.begin(), s.end(), t, by_time);
  if (after == s.begin()) return s.front().value;
  if (after == s.end()) return s.back().value;
  const auto before = after - 1;
  const double span = after->t_s - before->t_s;
  if (span <= 0) return after->value;
  const double w = (t - before->t_s) / span;
  return before->value + w * (after->value - before->value);
}

bool rests_at(const std::vector<ContactChange>& changes, double t) {
  // Sorted by time. Before the first change the thumb is in the opposite state of that change, so a
  // first "rest" means it arrives later and a first "lift" means it was there from the start.
  if (changes.empty()) return true;
  bool rests = !changes.front().rests;
  for (const ContactChange& c : changes) {
    if (c.t_s > t) break;
    rests = c.rests;
  }
  return rests;
}

}  // namespace

Result<std::vector<PpgSample>> parse_ppg_csv(std::string_view text, std::string_view file_name) {
  std::vector<PpgSample> samples;
  auto malformed = [&](std::size_t line, const std::string& what) {
    return fail(std::string(file_name) + ":" + std::to_string(line) + ": " + what);
  };
  std::size_t line_number = 0;
  bool header = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++line_number;
    if (line.empty()) continue;
    if (!header) {
      if (line != "t_s,ppg") return malformed(line_number, "the first line must be \"t_s,ppg\"");
      header = true;
      continue;
    }
    const std::size_t comma = line.find(',');
    PpgSample s;
    if (comma == std::string_view::npos || !parse_double(line.substr(0, comma), s.t_s) ||
        !parse_double(line.substr(comma + 1), s.value))
      return malformed(line_number, "expected two numbers \"t_s,ppg\"");
    if (!samples.empty() && s.t_s <= samples.back().t_s) return malformed(line_number, "times must increase");
    samples.push_back(s);
  }
  if (!header) return malformed(1, "the first line must be \"t_s,ppg\"");
  if (samples.empty()) return malformed(line_number, "no samples");
  return samples;
}

double quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double pos = q * static_cast<double>(values.size() - 1);
  const auto i = static_cast<std::size_t>(pos);
  if (i + 1 >= values.size()) return values.back();
  const double frac = pos - static_cast<double>(i);
  return values[i] + frac * (values[i + 1] - values[i]);
}

std::vector<std::uint8_t> sensor_sample_report(std::uint32_t reading, bool contact) {
  std::vector<std::uint8_t> r(17, 0);
  r[1] = 0x08;
  r[2] = 0x08;
  r[3] = 0x01;
  for (int i = 0; i < 4; ++i)
    r[4 + i] = static_cast<std::uint8_t>(reading >> (8 * i));
  r[8] = contact ? kContactResting : kContactLifted;
  r[9] = 0x10;
  r[10] = 0x00;
  return r;
}

std::vector<std::uint8_t> heart_page_report() {
  std::vector<std::uint8_t> r(17, 0);
  r[1] = 0x08;
  r[2] = 0x08;
  r[3] = 0x0E;
  return r;
}

std::vector<SensorSample> ppg_to_sensor_samples(const std::vector<PpgSample>& samples,
                                                const std::vector<ContactChange>& contact, double rate_hz) {
  std::vector<SensorSample> out;
  if (samples.empty()) return out;
  std::vector<double> values;
  values.reserve(samples.size());
  for (const PpgSample& s : samples)
    values.push_back(s.value);
  const double median = quantile(values, 0.5);
  const double range = quantile(values, 0.95) - quantile(values, 0.05);

  std::vector<ContactChange> changes = contact;
  std::stable_sort(changes.begin(), changes.end(),
                   [](const ContactChange& a, const ContactChange& b) { return a.t_s < b.t_s; });

  const double first = samples.front().t_s;
  const double last = samples.back().t_s;
  for (std::int64_t k = 0;; ++k) {
    const double t = first + static_cast<double>(k) / rate_hz;
    if (t > last + 1e-9) break;
    SensorSample s;
    s.t_ms = std::llround(static_cast<double>(k) * 1000.0 / rate_hz);
    s.contact = rests_at(changes, t - first);
    const double z = (s.contact && range > 0) ? (value_at(samples, t, rate_hz) - median) / range : 0.0;
    const double reading = std::round(kReadingCentre - kReadingScale * z);
    // 0 would read as an empty record in the heart-rate ring.
    s.reading = static_cast<std::uint32_t>(
        std::clamp(reading, 1.0, static_cast<double>(std::numeric_limits<std::uint32_t>::max())));
    out.push_back(s);
  }
  return out;
}

std::string ppg_to_capture(const std::vector<PpgSample>& samples, const PpgCaptureOptions& options,
                           std::string_view source_name) {
  std::string text(kCaptureHeader);
  char rate[32];
  std::snprintf(rate, sizeof rate, "%g", options.rate_hz);
  text += "\n# sensor reports at ";
  text += rate;
  text += " Hz from the PPG recording ";
  text += source_name;
  text += "\n";
  std::int64_t t = options.offset_ms;
  if (options.page_signal) text += format_capture_line(t, HidReport{"", heart_page_report()}) + "\n";
  for (const SensorSample& s : ppg_to_sensor_samples(samples, options.contact, options.rate_hz)) {
    text += format_capture_line(options.offset_ms + s.t_ms,
                                HidReport{"", sensor_sample_report(s.reading, s.contact)});
    text += "\n";
  }
  return text;
}

}  // namespace corvane
