#include "recording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane::ostrel_eval {

std::vector<TimedValue> read_csv(const std::string& path) {
  std::vector<TimedValue> rows;
  std::ifstream in(path);
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (header) {
      header = false;
      continue;
    }
    double t = 0.0, v = 0.0;
    char comma = 0;
    std::istringstream s(line);
    if (s >> t >> comma >> v && comma == ',' && std::isfinite(t) && std::isfinite(v)) rows.push_back({t, v});
  }
  std::sort(rows.begin(), rows.end(), [](const TimedValue& a, const TimedValue& b) { return a.t_s < b.t_s; });
  return rows;
}

Result<std::vector<Recording>> load_recordings(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<Recording> out;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return fail("not a folder: " + folder);
  const std::string suffix = ".ppg.csv";
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string file = entry.path().filename().string();
    if (file.size() <= suffix.size() ||
        file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    const std::string name = file.substr(0, file.size() - suffix.size());
    const fs::path ref = entry.path().parent_path() / (name + ".ref.csv");
    if (!fs::exists(ref)) continue;
    Recording r;
    r.name = name;
    r.ppg = read_csv(entry.path().string());
    r.reference = read_csv(ref.string());
    for (const TimedValue& span : read_csv((entry.path().parent_path() / (name + ".travel.csv")).string()))
      r.travel.push_back({span.t_s, span.value});
    if (r.ppg.size() >= 2 && !r.reference.empty()) out.push_back(std::move(r));
  }
  std::sort(out.begin(), out.end(), [](const Recording& a, const Recording& b) { return a.name < b.name; });
  if (out.empty()) return fail("no recordings (NAME.ppg.csv with NAME.ref.csv) in " + folder);
  return out;
}

std::vector<double> resample(const std::vector<TimedValue>& series, double rate) {
  std::vector<double> out;
  if (series.size() < 2 || rate <= 0.0) return out;
  const double t0 = series.front().t_s, t1 = series.back().t_s;
  const auto count = static_cast<size_t>(std::floor((t1 - t0) * rate)) + 1;
  out.reserve(count);
  size_t j = 0;
  for (size_t i = 0; i < count; ++i) {
    const double t = t0 + static_cast<double>(i) / rate;
    while (j + 2 < series.size() && series[j + 1].t_s < t)
      ++j;
    const TimedValue& a = series[j];
    const TimedValue& b = series[j + 1];
    const double span = b.t_s - a.t_s;
    const double f = span > 0.0 ? std::clamp((t - a.t_s) / span, 0.0, 1.0) : 0.0;
    out.push_back(a.value + f * (b.value - a.value));
  }
  return out;
}

namespace {

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const double pos = p * static_cast<double>(v.size() - 1);
  const auto lo = static_cast<size_t>(std::floor(pos));
  const size_t hi = std::min(lo + 1, v.size() - 1);
  return v[lo] + (pos - static_cast<double>(lo)) * (v[hi] - v[lo]);
}

}  // namespace

std::vector<unsigned> to_readings(const std::vector<double>& ppg, double scale) {
  const double median = percentile(ppg, 0.5);
  double range = percentile(ppg, 0.95) - percentile(ppg, 0.05);
  if (!(range > 0.0)) range = 1.0;
  std::vector<unsigned> out;
  out.reserve(ppg.size());
  for (double v : ppg) {
    const double z = (v - median) / range;
    const double reading = std::clamp(400000.0 - 4000.0 * scale * z, 1.0, 4294967295.0);
    out.push_back(static_cast<unsigned>(std::lround(reading)));
  }
  return out;
}

std::optional<double> mean_reference(const std::vector<TimedValue>& reference, double t0, double t1) {
  double sum = 0.0;
  int n = 0;
  for (const TimedValue& r : reference) {
    if (r.t_s >= t0 && r.t_s <= t1) {
      sum += r.value;
      ++n;
    }
  }
  if (n == 0) return std::nullopt;
  return sum / n;
}

}  // namespace corvane::ostrel_eval
