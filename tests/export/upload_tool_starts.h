#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

namespace corvane::testing {

// The argument lists the stub upload tool recorded, one per start. The tool runs on its own, so this
// waits up to 20 s for `count` of them.
inline std::vector<std::vector<std::string>> recorded_starts(const std::filesystem::path& record,
                                                             std::size_t count) {
  std::vector<std::vector<std::string>> starts;
  for (int i = 0; i < 400; ++i) {
    starts.clear();
    std::ifstream in(record);
    std::string line;
    while (std::getline(in, line))
      starts.push_back(nlohmann::json::parse(line).get<std::vector<std::string>>());
    if (starts.size() >= count) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return starts;
}

}  // namespace corvane::testing
