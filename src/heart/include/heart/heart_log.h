#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/local_time.h"
#include "base/result.h"

namespace corvane {

// One measured heart rate with its time.
struct HeartLog {
  std::int32_t bpm = 0;     // the result, truncated toward zero
  LocalTimestamp time = 0;  // when it was measured
  std::string text;         // "yyyy/MM/dd HH:mm" of `time`

  bool operator==(const HeartLog&) const = default;
};
using HEART_LOG = HeartLog;

inline constexpr char kHeartLogFileName[] = "HeartRateLog.txt";
inline constexpr int kHeartLogVersion = 2;
inline constexpr int kHeartLogMinBpm = 41;  // entries at 40 bpm or below are dropped on load

// "yyyy/MM/dd HH:mm" of a LocalTimestamp.
std::string heart_log_text(LocalTimestamp time);

// An entry for a result taken at `time`.
HeartLog make_heart_log(std::int32_t bpm, LocalTimestamp time);

// The file's compact JSON: {"heartRate_0":..,"heart_log_ver":2,"logTime_0":..,...}, keys in byte order,
// every entry in list order.
std::string serialize_heart_log(const std::vector<HeartLog>& entries);

// The entries of a file's content, newest first. Reads "heartRate_<i>" and "logTime_<i>" for i = 0, 1, ...
// until the first pair that is missing or not an integer, and drops entries of 40 bpm or less. A text that
// is not JSON or whose "heart_log_ver" is not 2 gives no entries.
std::vector<HeartLog> parse_heart_log(std::string_view content);

// The same, and whether the text held more than the entries: a pair cut short or not a pair of integers,
// members after the last pair read, another version. A list saved from such entries would lose the rest.
struct HeartLogParse {
  std::vector<HeartLog> entries;
  std::optional<Error> damage;
};
HeartLogParse parse_heart_log_checked(std::string_view content);

}  // namespace corvane
