#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"

namespace corvane {

// Replaces a file's content so that a reader (or a crash at any moment) sees either the old content or
// the new, never a mixture: write a temporary file in the same folder, flush it to disk, rename it over
// the old name, flush the folder. Every file the program writes goes through here.
Result<void> write_file_atomically(const std::filesystem::path& path, std::string_view content);

// Keeps a damaged file's bytes beside it ("<name>.damaged") before the program replaces it with what it
// could read, so nothing the user had is lost for good.
inline constexpr const char* kDamagedSuffix = ".damaged";
inline Result<void> keep_damaged_copy(const std::filesystem::path& path, std::string_view content) {
  // Appended to the path itself: a round trip through a narrow string would garble a folder such as
  // "データ\田中" on Windows, and the copy would go nowhere.
  std::filesystem::path copy = path;
  copy += kDamagedSuffix;
  return write_file_atomically(copy, content);
}

}  // namespace corvane
