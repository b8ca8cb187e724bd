#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/result.h"

namespace corvane::ostrel_eval {

struct TimedValue {
  double t_s;
  double value;
};

// A stretch of time, in the recording's seconds.
struct TimeSpan {
  double from_s;
  double to_s;
};

// One recording: the PPG at its own sampling and the reference heart rate, and the times the mouse
// travelled while it was taken when they are known (NAME.travel.csv beside it: t_from_s,t_to_s).
struct Recording {
  std::string name;
  std::vector<TimedValue> ppg;
  std::vector<TimedValue> reference;  // t_s, hr_bpm
  std::vector<TimeSpan> travel;
};

// Reads "t,value" rows after a header line; rows that do not parse are skipped. Empty on a missing file.
std::vector<TimedValue> read_csv(const std::string& path);

// Every NAME.ppg.csv of the folder that has a NAME.ref.csv beside it, sorted by name; fails when the
// folder is missing or holds no such pair.
Result<std::vector<Recording>> load_recordings(const std::string& folder);

// Linear interpolation of the series at `rate` Hz from its first to its last time.
std::vector<double> resample(const std::vector<TimedValue>& series, double rate);

// The sensor readings for a resampled PPG: 400000 - 4000 * scale * z, with z the PPG minus its median
// divided by its 5-95 % percentile range, as unsigned 32-bit integers.
std::vector<unsigned> to_readings(const std::vector<double>& ppg, double scale);

// Mean reference over [t0, t1]; nothing when no reference row lies there.
std::optional<double> mean_reference(const std::vector<TimedValue>& reference, double t0, double t1);

}  // namespace corvane::ostrel_eval
