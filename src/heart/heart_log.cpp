#include "heart/heart_log.h"

#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>

namespace corvane {

std::string heart_log_text(LocalTimestamp time) {
  const LocalDateTime t = from_local_timestamp(time);
  char text[48];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
  return text;
}

HeartLog make_heart_log(std::int32_t bpm, LocalTimestamp time) {
  return {bpm, time, heart_log_text(time)};
}

std::string serialize_heart_log(const std::vector<HeartLog>& entries) {
  // nlohmann::json keeps object keys in a std::map, so dump() writes them in ascending byte order.
  nlohmann::json j = nlohmann::json::object();
  j["heart_log_ver"] = kHeartLogVersion;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string n = std::to_string(i);
    j["heartRate_" + n] = entries[i].bpm;
    j["logTime_" + n] = entries[i].time;
  }
  return j.dump();
}

HeartLogParse parse_heart_log_checked(std::string_view content) {
  HeartLogParse result;
  if (content.empty()) return result;  // nothing there, nothing to lose
  const nlohmann::json j = nlohmann::json::parse(content, nullptr, /*allow_exceptions=*/false);
  if (!j.is_object()) {
    result.damage = fail("not a JSON object");
    return result;
  }
  const auto version = j.find("heart_log_ver");
  if (version == j.end() || !version->is_number_integer() || *version != kHeartLogVersion) {
    result.damage =
        fail("\"heart_log_ver\" is " + (version == j.end() ? "missing" : version->dump()) + ", not 2");
    return result;
  }
  std::size_t pairs = 0;
  for (;; ++pairs) {
    const std::string n = std::to_string(pairs);
    const auto bpm = j.find("heartRate_" + n);
    const auto time = j.find("logTime_" + n);
    if (bpm == j.end() || time == j.end() || !bpm->is_number_integer() || !time->is_number_integer()) break;
    // A value beyond the field's range is as unreadable as a missing one.
    if (time->is_number_unsigned() && time->get<std::uint64_t>() > std::numeric_limits<std::int64_t>::max())
      break;
    if (bpm->is_number_unsigned() && bpm->get<std::uint64_t>() > std::numeric_limits<std::int32_t>::max())
      break;
    const std::int64_t rate = bpm->get<std::int64_t>();
    if (rate < std::numeric_limits<std::int32_t>::min()) break;
    if (rate < kHeartLogMinBpm) continue;
    result.entries.push_back(make_heart_log(static_cast<std::int32_t>(rate), time->get<std::int64_t>()));
  }
  // The version and each pair read are all a whole list holds; anything more was not understood.
  if (j.size() != 1 + 2 * pairs)
    result.damage = fail("entry " + std::to_string(pairs) + " is not a heart rate with its time");
  return result;
}

std::vector<HeartLog> parse_heart_log(std::string_view content) {
  return parse_heart_log_checked(content).entries;
}

}  // namespace corvane
