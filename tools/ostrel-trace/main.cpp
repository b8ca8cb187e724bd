// ostrel-trace: prints what the detector sees and decides at every spectrum of one recording, next to the
// reference, for working on the detector.
//
//   ostrel-trace NAME [--folder DIR] [--rate HZ] [--from SECONDS] [--scale X]
//
// The readings are made as ostrel-eval makes them; the detector starts at --from (a thumb arriving then).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "detector.h"
#include "params.h"
#include "recording.h"

namespace {

using corvane::ostrel::Detector;
namespace eval = corvane::ostrel_eval;

int usage() {
  std::fprintf(stderr,
               "usage: ostrel-trace NAME [--folder DIR] [--rate HZ] [--from SECONDS] [--scale X]\n"
               "  NAME      recording NAME.ppg.csv with NAME.ref.csv in the folder (default data/ppg)\n"
               "  --rate    rate the readings arrive at; the frequency offset is rate / 20 (default 21.7)\n"
               "  --from    second of the recording at which the thumb arrives (default 0)\n"
               "  --scale   amplitude scale of the readings (default 1)\n");
  return 2;
}

bool parse_double(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0' && out >= 0.0;
}

struct Options {
  std::string name;
  std::string folder = CORVANE_PPG_DIR;
  double rate_hz = 21.7;
  double from_s = 0.0;
  double scale = 1.0;
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--folder" && has_value) {
      o.folder = argv[++i];
    } else if (arg == "--rate" && has_value) {
      if (!parse_double(argv[++i], o.rate_hz) || o.rate_hz <= 0.0) return false;
    } else if (arg == "--from" && has_value) {
      if (!parse_double(argv[++i], o.from_s)) return false;
    } else if (arg == "--scale" && has_value) {
      if (!parse_double(argv[++i], o.scale) || o.scale <= 0.0) return false;
    } else if (!arg.empty() && arg[0] != '-' && o.name.empty()) {
      o.name = arg;
    } else {
      return false;
    }
  }
  return !o.name.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) return usage();
  const std::string base = o.folder + "/" + o.name;
  const auto ppg = eval::read_csv(base + ".ppg.csv");
  const auto reference = eval::read_csv(base + ".ref.csv");
  if (ppg.empty()) {
    std::fprintf(stderr, "ostrel-trace: cannot read %s.ppg.csv\n", base.c_str());
    return 1;
  }
  const std::vector<unsigned> readings = eval::to_readings(eval::resample(ppg, o.rate_hz), o.scale);

  Detector detector;
  detector.params = corvane::ostrel::default_params(corvane::ostrel::Column::k20Hz);
  detector.params.freq_offset = static_cast<float>(o.rate_hz / 20.0);
  std::vector<unsigned char> work(static_cast<size_t>(Detector::work_bytes(detector.params)));
  detector.attach(work.data());

  const double offset = detector.params.freq_offset;
  const auto bpm = [&](double ms) { return ms > 0.0 ? offset * 60000.0 / ms : 0.0; };
  std::printf("# %s at %.2f Hz from %.1f s; rates in bpm, S candidates as bpm(power share)\n", o.name.c_str(),
              o.rate_hz, o.from_s);
  std::printf(
      "#    t   P     A     S     Q  top  chosen agree 2nd lock ready motion average ref10  ov%%  ovoff  "
      "candidates\n");
  int last_decision = 0;
  for (size_t i = static_cast<size_t>(o.from_s * o.rate_hz); i < readings.size(); ++i) {
    detector.process(1, static_cast<float>(readings[i]), 4101.0f);
    const Detector::Trace& t = detector.trace();
    if (t.decisions == last_decision) continue;
    last_decision = t.decisions;
    const double now = ppg.front().t_s + static_cast<double>(i) / o.rate_hz;
    const auto ref = eval::mean_reference(reference, now - 10.0, now);
    std::printf("%6.1f %5.1f %5.1f %5.1f %3.0f %4.2f %6.1f %5d %3d %4d %5d %6d %7.1f %5.1f ", now,
                bpm(t.p_ms), bpm(t.a_ms), bpm(t.s_ms), static_cast<double>(detector.quality()),
                static_cast<double>(t.top_fraction), bpm(t.chosen), t.agree, t.second_peak, t.locked ? 1 : 0,
                detector.ready() ? 1 : 0, detector.motion() ? 1 : 0,
                bpm(static_cast<double>(detector.average_interval())), ref ? *ref : 0.0);
    std::printf("%5.2f %6.1f %c ", static_cast<double>(t.overtone_share), static_cast<double>(t.overtone_pct),
                t.held);
    for (int c = 0; c < t.peaks.count; ++c) {
      const double share = t.peaks.magnitude[0] > 0.0f ? t.peaks.magnitude[c] / t.peaks.magnitude[0] : 0.0f;
      std::printf(" %5.1f(%.2f)", bpm(t.peaks.interval_ms[c]), share);
    }
    std::printf("\n");
  }
  return 0;
}
