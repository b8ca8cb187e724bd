#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace corvane::testing {

// One of the repository's real recordings (data/ppg: NAME.ppg.csv "t_s,ppg" and NAME.ref.csv
// "t_s,hr_bpm"), turned into the sensor readings the mouse would send.
struct PpgRecording {
  std::vector<std::pair<double, double>> ppg;        // t_s, value at the recording's own rate
  std::vector<std::pair<double, double>> reference;  // t_s, bpm

  static std::vector<std::pair<double, double>> read_csv(const std::string& path) {
    std::vector<std::pair<double, double>> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
      std::istringstream s(line);
      double t = 0, v = 0;
      char comma = 0;
      if (s >> t >> comma >> v && comma == ',') rows.emplace_back(t, v);
    }
    return rows;
  }

  static PpgRecording load(const std::string& folder, const std::string& name) {
    return {read_csv(folder + "/" + name + ".ppg.csv"), read_csv(folder + "/" + name + ".ref.csv")};
  }

  // Readings at `rate_hz` from the first sample on: linear interpolation, then 400000 - 4000 * z with z the
  // value minus its median over its 5-95 % range (pulses point up in the files; the sensor's reading
  // falls with each pulse).
  std::vector<std::uint32_t> readings(double rate_hz) const {
    std::vector<double> v;
    if (ppg.size() < 2) return {};
    const double t0 = ppg.front().first;
    std::size_t j = 0;
    for (std::size_t k = 0;; ++k) {
      const double t = t0 + static_cast<double>(k) / rate_hz;
      if (t > ppg.back().first) break;
      while (j + 2 < ppg.size() && ppg[j + 1].first < t)
        ++j;
      const auto& a = ppg[j];
      const auto& b = ppg[j + 1];
      const double f = b.first > a.first ? std::clamp((t - a.first) / (b.first - a.first), 0.0, 1.0) : 0.0;
      v.push_back(a.second + f * (b.second - a.second));
    }
    std::vector<double> sorted = v;
    std::sort(sorted.begin(), sorted.end());
    auto pct = [&](double p) {
      return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1))];
    };
    const double median = pct(0.5);
    double range = pct(0.95) - pct(0.05);
    if (!(range > 0)) range = 1;
    std::vector<std::uint32_t> out;
    for (double x : v)
      out.push_back(static_cast<std::uint32_t>(
          std::lround(std::clamp(400000.0 - 4000.0 * (x - median) / range, 1.0, 4e9))));
    return out;
  }

  // Mean reference over [t0, t1] seconds of the recording.
  std::optional<double> mean_reference(double t0, double t1) const {
    double sum = 0;
    int n = 0;
    for (const auto& [t, bpm] : reference)
      if (t >= t0 && t <= t1) {
        sum += bpm;
        ++n;
      }
    if (n == 0) return std::nullopt;
    return sum / n;
  }
};

}  // namespace corvane::testing
