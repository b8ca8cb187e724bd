#pragma once

#include <filesystem>
#include <string>

#include "base/local_time.h"
#include "base/notifier.h"
#include "heart/heart_log.h"
#include "platform/atomic_file.h"

namespace corvane {

inline constexpr int kExportDays = 90;

// The export text: the heart-rate history in list order, then one line per day with a day file among
// the 90 days ending today (newest first): the five click sums and the distance in metres. LF line ends.
// Day files are read through the day-file loader (a corrupt one shows "load error").
std::string build_csv_export(const std::vector<HeartLog>& heart_log, const std::filesystem::path& data_folder,
                             const LocalDateTime& today, Notifier& notifier);

// Writes the export to `out_path`, the file the user chose (see write_chosen_file). A failed write shows
// "error" and is returned.
Result<void> export_csv(const std::vector<HeartLog>& heart_log, const std::filesystem::path& data_folder,
                        const LocalDateTime& today, const std::filesystem::path& out_path,
                        Notifier& notifier);

// "heartrate_yyyy-MM-dd": the name the Save dialog proposes.
std::string default_export_name(const LocalDateTime& today);

}  // namespace corvane
