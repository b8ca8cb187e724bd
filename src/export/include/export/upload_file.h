#pragma once

#include <filesystem>
#include <string>

#include "base/daily_activity.h"
#include "heart/heart_log.h"
#include "platform/atomic_file.h"

namespace corvane {

inline constexpr const char* kUploadFileName = "upload.json";

// "upload.json": one compact JSON object, keys in byte order: "display_dpi" 1600, "heart_rate_log" (only
// when there are records) and "mouse_log" with 24 members keyed by the decimal LocalTimestamp of each
// hour of the counters' local date.
std::string build_upload_json(const DaySnapshot& counters, const std::vector<HeartLog>& heart_log);

// Writes the data folder's "upload.json" atomically.
Result<void> write_upload_file(const std::filesystem::path& data_folder, const DaySnapshot& counters,
                               const std::vector<HeartLog>& heart_log);

}  // namespace corvane
