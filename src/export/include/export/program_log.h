#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "base/local_time.h"
#include "base/result.h"

namespace corvane {

inline constexpr const char* kProgramLogName = "corvane.log";
// A year of hourly failures fits; a log that grows past this is set aside once and begun anew.
inline constexpr std::uintmax_t kProgramLogMostBytes = 256 * 1024;

// "corvane.log" in the data folder: what went wrong where nobody was there to see it (an automatic
// upload), one line per event, "YYYY-MM-DD HH:MM:SS text", so the user can find it later. It never
// takes more than twice `most_bytes`: a log that would grow past that is renamed "corvane.log.1"
// (replacing the older one) and a new one begun. Control characters in a text (a hand-edited ID, a
// path) are written as \xNN, so every event stays one line and nothing reaches a terminal that shows
// the file. For one thread at a time.
class ProgramLog final {
 public:
  explicit ProgramLog(std::filesystem::path data_folder, std::uintmax_t most_bytes = kProgramLogMostBytes);

  //! Appends one line; a folder that cannot take it is reported (the caller has nowhere else to say it).
  Result<void> append(const LocalDateTime& when, std::string_view text);

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::uintmax_t most_bytes_;
};

}  // namespace corvane
