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

// Parses a day file's text. A "log_ver" other than 1 gives all zeros without an error.
// A count that is negative, fractional or above 2^32 - 1 is corrupt and stops the parse.
DayParse parse_day(std::string_view text);

// Loads a day: a missing file gives zeros with `loaded` 0; an existing one sets `loaded` 1. A file that
// cannot be read or parsed shows "load error" once, is copied to "<name>.damaged" (the next save will
// replace it) and gives the counts read so far.
DailyActivity load_day(const std::filesystem::path& data_folder, const std::string& file_name,
                       Notifier& notifier);

}  // namespace corvane
