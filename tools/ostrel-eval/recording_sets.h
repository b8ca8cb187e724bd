#pragma once

#include <string>
#include <vector>

#include "session_scorer.h"

namespace corvane::ostrel_eval {

// The set a recording belongs to: its name up to the first '_' (bidmc_01 -> bidmc), the whole name when it
// has none. The recordings of one set share a source, a sensor and a kind of subject, so their figures
// say more together than the total of all sets does.
std::string set_of(const std::string& recording_name);

// The scores of the recordings added up per set, named after the set, in order of the sets' names.
std::vector<Score> scores_by_set(const std::vector<Score>& recording_scores);

}  // namespace corvane::ostrel_eval
