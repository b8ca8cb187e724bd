#include "export/upload_file.h"

#include <nlohmann/json.hpp>

#include "base/units.h"

namespace corvane {

std::string build_upload_json(const DaySnapshot& counters, const std::vector<HeartLog>& heart_log) {
  const DailyActivity& d = counters.record;
  nlohmann::json root = nlohmann::json::object();
  root["display_dpi"] = kDisplayDpi;
  if (!heart_log.empty()) {
    nlohmann::json list = nlohmann::json::array();
    for (const HeartLog& r : heart_log)
      list.push_back({{"heart_rate", r.bpm}, {"log_time", r.time}});
    root["heart_rate_log"] = std::move(list);
  }
  nlohmann::json hours = nlohmann::json::object();
  const LocalTimestamp midnight = to_local_timestamp(counters.year, counters.month, counters.day);
  for (int h = 0; h < kHoursPerDay; ++h) {
    hours[std::to_string(midnight + h * 3600)] = {
        {"click_l_s", d.clicks[0][h]}, {"click_l_d", d.double_clicks[0][h]},
        {"click_r_s", d.clicks[1][h]}, {"click_r_d", d.double_clicks[1][h]},
        {"click_c", d.clicks[2][h]},   {"click_s_1", d.clicks[3][h]},
        {"click_s_2", d.clicks[4][h]}, {"move_pixel", d.move_counts[h]},
    };
  }
  root["mouse_log"] = std::move(hours);
  return root.dump();
}

Result<void> write_upload_file(const std::filesystem::path& data_folder, const DaySnapshot& counters,
                               const std::vector<HeartLog>& heart_log) {
  return write_file_atomically(data_folder / kUploadFileName, build_upload_json(counters, heart_log));
}

}  // namespace corvane
