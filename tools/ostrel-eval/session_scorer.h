#pragma once

#include <string>
#include <vector>

#include "recording.h"

namespace corvane::ostrel_eval {

struct Options {
  double session_s = 60.0;  // length of one measurement session (one thumb contact)
  double scale = 1.0;       // amplitude scale of the readings
  double rate_hz = 20.0;    // rate the readings are delivered at; the library is told it
  // Whether the mouse's travel holds a result back: while it travels, the stabilising time starts again.
  bool hold_while_travelling = false;
};

// Figures of one recording or of all of them.
struct Score {
  std::string name;
  int sessions = 0;
  int results = 0;
  int unscored = 0;              // results with no reference near them
  std::vector<double> errors;    // |result - reference| per result, bpm
  std::vector<double> times_s;   // contact to result per result, s
  double ready_error_sum = 0.0;  // sum of |average - reference| over readings while ready
  long ready_error_count = 0;

  void add(const Score& other);
  double result_rate() const { return sessions > 0 ? static_cast<double>(results) / sessions : 0.0; }
  double mean_error() const;
  double p90_error() const;
  double max_error() const;
  int over(double bpm) const;
  // Share of the scored results more than `bpm` off their reference; 0 without any.
  double share_over(double bpm) const;
  double median_time() const;
  double mean_ready_error() const;
};

// Feeds the recording to the library (which must be open) session by session, the way the program does:
// HRDReset at each new contact, HRDProcessTop per reading, HRD_Get_HRAvg at every 51st reading, and a
// result once the average lies in (40, 180) and the ready flag has held for 8000 ms.
Score score_recording(const Recording& recording, const Options& options);

}  // namespace corvane::ostrel_eval
