#include "recording_sets.h"

#include <map>

namespace corvane::ostrel_eval {

std::string set_of(const std::string& recording_name) {
  return recording_name.substr(0, recording_name.find('_'));
}

std::vector<Score> scores_by_set(const std::vector<Score>& recording_scores) {
  std::map<std::string, Score> sets;
  for (const Score& s : recording_scores) {
    Score& set = sets[set_of(s.name)];
    set.name = set_of(s.name);
    set.add(s);
  }
  std::vector<Score> out;
  for (auto& [name, score] : sets)
    out.push_back(std::move(score));
  return out;
}

}  // namespace corvane::ostrel_eval
