// ostrel-eval: scores the heart-rate detection library on real recordings.
//
//   ostrel-eval [FOLDER] [--session SECONDS] [--scale X] [--rate HZ] [--hold-while-travelling] [--json]
//
// FOLDER holds NAME.ppg.csv (t_s,ppg) and NAME.ref.csv (t_s,hr_bpm); the default is the repository's
// data/ppg. Each recording is resampled to the rate, turned into sensor readings and cut into sessions.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ostrel.h"
#include "recording.h"
#include "recording_sets.h"
#include "session_scorer.h"

using corvane::ostrel_eval::Options;
using corvane::ostrel_eval::Score;

namespace {

void usage() {
  std::fprintf(
      stderr,
      "usage: ostrel-eval [FOLDER] [--session SECONDS] [--scale X] [--rate HZ] [--hold-while-travelling]\n"
      "                   [--json]\n"
      "  --session  length of one measurement session (default 60)\n"
      "  --scale    amplitude scale of the readings (default 1)\n"
      "  --rate     rate the readings arrive at; the library's frequency offset is set to\n"
      "             rate / 20 so that it converts intervals with the true clock (default 20)\n"
      "  --hold-while-travelling  no result while the mouse travels (NAME.travel.csv): the\n"
      "             stabilising time starts again\n"
      "  --json     print JSON instead of a table\n");
}

bool parse_double(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0' && out > 0.0;
}

void print_row(const Score& s) {
  if (s.errors.empty()) {
    char ready[16] = "-";
    if (s.ready_error_count > 0) std::snprintf(ready, sizeof ready, "%.2f", s.mean_ready_error());
    std::printf("%-16s %8d %7d %6.1f%% %8s %8s %8s %6d %9s %10s\n", s.name.c_str(), s.sessions, s.results,
                100.0 * s.result_rate(), "-", "-", "-", 0, "-", ready);
    return;
  }
  std::printf("%-16s %8d %7d %6.1f%% %8.2f %8.2f %8.2f %6d %9.1f %10.2f\n", s.name.c_str(), s.sessions,
              s.results, 100.0 * s.result_rate(), s.mean_error(), s.p90_error(), s.max_error(), s.over(5.0),
              s.median_time(), s.mean_ready_error());
}

// A figure, or null when there is nothing to take it from.
std::string number(double v, bool present) {
  if (!present) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", v);
  return text;
}

// A set's row: the figures that compare sets, beside the share of results more than 5 bpm off.
void print_set_row(const Score& s) {
  const bool results = !s.errors.empty();
  char mean[16] = "-", share[16] = "-", median[16] = "-";
  if (results) {
    std::snprintf(mean, sizeof mean, "%.2f", s.mean_error());
    std::snprintf(share, sizeof share, "%.1f%%", 100.0 * s.share_over(5.0));
  }
  if (!s.times_s.empty()) std::snprintf(median, sizeof median, "%.1f", s.median_time());
  std::printf("%-16s %8d %7d %6.1f%% %8s %6d %7s %9s\n", s.name.c_str(), s.sessions, s.results,
              100.0 * s.result_rate(), mean, s.over(5.0), share, median);
}

// Sets carry the share of results more than 5 bpm off as well; recordings and the total keep their fields.
void print_json_score(const Score& s, bool last, bool with_share = false) {
  const bool results = !s.errors.empty();
  const std::string share =
      with_share ? ",\"share_over_5_bpm\":" + number(s.share_over(5.0), results) : std::string();
  std::printf(
      "    {\"name\":\"%s\",\"sessions\":%d,\"results\":%d,\"result_rate\":%.4f,\"mean_abs_error_bpm\":%s,"
      "\"p90_abs_error_bpm\":%s,\"max_abs_error_bpm\":%s,\"results_over_5_bpm\":%d%s,\"unscored\":%d,"
      "\"median_time_to_result_s\":%s,\"mean_abs_error_while_ready_bpm\":%s}%s\n",
      s.name.c_str(), s.sessions, s.results, s.result_rate(), number(s.mean_error(), results).c_str(),
      number(s.p90_error(), results).c_str(), number(s.max_error(), results).c_str(), s.over(5.0),
      share.c_str(), s.unscored, number(s.median_time(), !s.times_s.empty()).c_str(),
      number(s.mean_ready_error(), s.ready_error_count > 0).c_str(), last ? "" : ",");
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = CORVANE_PPG_DIR;
  Options options;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](double& out) {
      if (i + 1 >= argc || !parse_double(argv[i + 1], out)) return false;
      ++i;
      return true;
    };
    if (arg == "--json") {
      json = true;
    } else if (arg == "--session") {
      if (!value(options.session_s)) return usage(), 2;
    } else if (arg == "--scale") {
      if (!value(options.scale)) return usage(), 2;
    } else if (arg == "--rate") {
      if (!value(options.rate_hz)) return usage(), 2;
    } else if (arg == "--hold-while-travelling") {
      options.hold_while_travelling = true;
    } else if (arg == "--help" || arg == "-h") {
      usage();
      return 0;
    } else if (!arg.empty() && arg[0] != '-') {
      folder = arg;
    } else {
      usage();
      return 2;
    }
  }

  const auto recordings = corvane::ostrel_eval::load_recordings(folder);
  if (!recordings) {
    std::fprintf(stderr, "ostrel-eval: %s\n", recordings.error().message.c_str());
    return 1;
  }

  const int bytes = HRDOpen_i20Hz(nullptr);
  std::vector<unsigned char> work(static_cast<size_t>(bytes));
  HRDOpen_i20Hz(work.data());
  HRD_Set_FreqOffset(static_cast<float>(options.rate_hz / 20.0));

  std::vector<Score> scores;
  Score total;
  total.name = "TOTAL";
  for (const auto& r : *recordings) {
    scores.push_back(corvane::ostrel_eval::score_recording(r, options));
    total.add(scores.back());
  }
  HRDClose();
  const std::vector<Score> sets = corvane::ostrel_eval::scores_by_set(scores);

  if (json) {
    std::printf("{\n  \"session_s\":%.1f,\n  \"scale\":%.3f,\n  \"rate_hz\":%.3f,\n  \"recordings\":[\n",
                options.session_s, options.scale, options.rate_hz);
    for (size_t i = 0; i < scores.size(); ++i)
      print_json_score(scores[i], i + 1 == scores.size());
    std::printf("  ],\n  \"sets\":[\n");
    for (size_t i = 0; i < sets.size(); ++i)
      print_json_score(sets[i], i + 1 == sets.size(), true);
    std::printf("  ],\n  \"total\":\n");
    print_json_score(total, true);
    std::printf("}\n");
  } else {
    std::printf("session %.0f s, scale %.2f, rate %.2f Hz\n", options.session_s, options.scale,
                options.rate_hz);
    std::printf("%-16s %8s %7s %7s %8s %8s %8s %6s %9s %10s\n", "recording", "sessions", "results", "rate",
                "mean|e|", "p90|e|", "max|e|", ">5bpm", "median_s", "ready|e|");
    for (const Score& s : scores)
      print_row(s);
    print_row(total);
    std::printf("\n%-16s %8s %7s %7s %8s %6s %7s %9s\n", "set", "sessions", "results", "rate", "mean|e|",
                ">5bpm", ">5bpm%", "median_s");
    for (const Score& s : sets)
      print_set_row(s);
  }
  return 0;
}
