#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/daily_activity.h"
#include "base/notifier.h"
#include "base/result.h"

namespace corvane {

// The daily activity file: one compact JSON object of 265 members with keys in ascending byte order
// ("click_h<h>_b<b>", "dbclick_h<h>_b<b>", "hour_move_pixel_h<h>", "log_ver" 1), no trailing newline.
std::string serialize_day(const DailyActivity& day);

// Not a Result: a damaged file still yields the counts read before the damage, so nothing read is lost.
struct DayParse {
  DailyActivity record;         // what was read before any damage; counts not reached stay 0
  std::optional<Error> damage;  // not JSON, a key missing, or a value that is not a count
};

// Parses a day file's text. A "log_ver" other than 1 is damage too: its counts cannot be read, and the
// file must not be taken for an empty day. A count that is negative, fractional or above 2^32 - 1 is
// corrupt and stops the parse.
DayParse parse_day(std::string_view text);

// A complete day file is under 8 kB even with every count at its largest.
inline constexpr std::size_t kMaxDayFileBytes = 64 * 1024;

struct DayLoad {
  DailyActivity record;
  // The file holds more than `record`: it could not be read, or only in part. Whoever saves this day
  // must keep the file aside first.
  bool incomplete = false;
};

// Loads a day: a missing file gives zeros with `loaded` 0; an existing one sets `loaded` 1. A file that
// cannot be parsed shows "load error" once, is copied to "<name>.damaged" and gives the counts read so
// far; one that cannot be read at all (no permission, an I/O error, a folder or pipe in its place, far
// too large) shows "load error" with the reason and gives zeros.
DayLoad load_day_for_saving(const std::filesystem::path& data_folder, const std::string& file_name,
                            Notifier& notifier);
// The same for a reader that never saves the day (past days, the export).
DailyActivity load_day(const std::filesystem::path& data_folder, const std::string& file_name,
                       Notifier& notifier);

}  // namespace corvane
