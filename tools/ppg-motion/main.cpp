// ppg-motion: adds motion artefacts to clean recordings, for ostrel-eval to score.
//
//   ppg-motion OUT_FOLDER NAME.ppg.csv... [--kinds steps,pressure,bursts,near,far,mid] [--strengths
//   25,50,100,200]
//
// Each recording (with its NAME.ref.csv beside it) is written once per kind and strength as
// KIND-SSS_NAME.ppg.csv with the reference copied to KIND-SSS_NAME.ref.csv, SSS the strength in percent
// of the recording's pulse amplitude, and the times the hand moved the mouse in KIND-SSS_NAME.travel.csv.
// ostrel-eval's sets (the names up to the first '_') are then the kinds at each strength.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "motion_artefacts.h"
#include "recording.h"

namespace fs = std::filesystem;
using corvane::ostrel_eval::TimedValue;
using corvane::ppg_motion::Artefact;

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: ppg-motion OUT_FOLDER NAME.ppg.csv... [--kinds LIST] [--strengths LIST]\n"
               "  --kinds      comma-separated: steps, pressure, bursts, near, far, mid (default: all)\n"
               "  --strengths  comma-separated, in percent of the pulse amplitude (default 25,50,100,200)\n");
  return 2;
}

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream s(text);
  for (std::string part; std::getline(s, part, ',');)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

bool write_travel(const fs::path& path, const std::vector<corvane::ostrel_eval::TimeSpan>& spans) {
  FILE* f = std::fopen(path.string().c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f, "t_from_s,t_to_s\n");
  for (const auto& s : spans)
    std::fprintf(f, "%.4f,%.4f\n", s.from_s, s.to_s);
  return std::fclose(f) == 0;
}

bool write_ppg(const fs::path& path, const std::vector<TimedValue>& rows) {
  FILE* f = std::fopen(path.string().c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f, "t_s,ppg\n");
  for (const TimedValue& r : rows)
    std::fprintf(f, "%.4f,%.7g\n", r.t_s, r.value);
  return std::fclose(f) == 0;
}

// FNV-1a: a seed from the output's name that is the same with every standard library.
uint64_t seed_of(const std::string& name) {
  uint64_t h = 14695981039346656037ULL;
  for (unsigned char c : name)
    h = (h ^ c) * 1099511628211ULL;
  return h;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const fs::path out_folder = argv[1];
  std::vector<std::string> inputs;
  std::vector<Artefact> kinds(std::begin(corvane::ppg_motion::kAllArtefacts),
                              std::end(corvane::ppg_motion::kAllArtefacts));
  std::vector<int> strengths = {25, 50, 100, 200};
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--kinds" && i + 1 < argc) {
      kinds.clear();
      for (const std::string& k : split(argv[++i])) {
        const auto a = corvane::ppg_motion::artefact_named(k);
        if (!a) return usage();
        kinds.push_back(*a);
      }
    } else if (arg == "--strengths" && i + 1 < argc) {
      strengths.clear();
      for (const std::string& s : split(argv[++i])) {
        const int pct = std::atoi(s.c_str());
        if (pct <= 0 || pct > 999) return usage();
        strengths.push_back(pct);
      }
    } else if (!arg.empty() && arg[0] != '-') {
      inputs.push_back(arg);
    } else {
      return usage();
    }
  }
  std::error_code ec;
  fs::create_directories(out_folder, ec);

  const std::string suffix = ".ppg.csv";
  for (const std::string& input : inputs) {
    if (input.size() <= suffix.size() || input.compare(input.size() - suffix.size(), suffix.size(), suffix)) {
      std::fprintf(stderr, "ppg-motion: not a NAME.ppg.csv: %s\n", input.c_str());
      return 1;
    }
    const std::string base = input.substr(0, input.size() - suffix.size());
    const std::string name = fs::path(base).filename().string();
    const auto ppg = corvane::ostrel_eval::read_csv(input);
    const auto reference = corvane::ostrel_eval::read_csv(base + ".ref.csv");
    if (ppg.size() < 2 || reference.empty()) {
      std::fprintf(stderr, "ppg-motion: cannot read %s with its reference\n", input.c_str());
      return 1;
    }
    double mean_rate = 0.0;
    for (const TimedValue& r : reference)
      mean_rate += r.value / static_cast<double>(reference.size());

    for (Artefact kind : kinds) {
      for (int pct : strengths) {
        char tag[32];
        std::snprintf(tag, sizeof tag, "%s-%03d_", corvane::ppg_motion::name_of(kind).c_str(), pct);
        const std::string out_name = tag + name;
        std::vector<corvane::ostrel_eval::TimeSpan> travel;
        const auto disturbed =
            corvane::ppg_motion::add_artefact(ppg, kind, pct / 100.0, mean_rate, seed_of(out_name), &travel);
        if (!write_ppg(out_folder / (out_name + ".ppg.csv"), disturbed) ||
            !write_travel(out_folder / (out_name + ".travel.csv"), travel) ||
            !fs::copy_file(base + ".ref.csv", out_folder / (out_name + ".ref.csv"),
                           fs::copy_options::overwrite_existing, ec)) {
          std::fprintf(stderr, "ppg-motion: cannot write into %s\n", out_folder.string().c_str());
          return 1;
        }
      }
    }
  }
  return 0;
}
