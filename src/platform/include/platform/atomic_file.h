#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "base/result.h"

namespace corvane {

// Replaces a file's content so that a reader (or a crash at any moment) sees either the old content or
// the new, never a mixture: write a temporary file in the same folder, flush it to disk, rename it over
// the old name, flush the folder. Every file the program keeps goes through here.
// - A symbolic link stays a link: the file it leads to is replaced.
// - The file keeps its mode; a new one gets what the umask gives.
// - What cannot be replaced that way (a folder, pipe or device in the file's place) is refused.
// - A file with several names (hard links) is split: the other names keep the old content. A crash-safe
//   data file matters more than a shared one.
// - Temporaries that a killed writer left in the folder are removed once they are stale.
Result<void> write_file_atomically(const std::filesystem::path& path, std::string_view content);

// Writes a file the user chose, such as an export: a regular file is replaced as above; a pipe, a
// terminal or another device (/dev/stdout) is written into as it is, and so is a file with several
// names, which the user linked on purpose.
Result<void> write_chosen_file(const std::filesystem::path& path, std::string_view content);

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

// Moves a file that could not be read at all (no permission, an I/O error, not a regular file) to
// "<name>.damaged" before the program writes a new one in its place: renaming needs no read access, so
// the user's bytes survive untouched. A file that is gone by now is no error.
inline Result<void> move_damaged_aside(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::rename(path, path.string() + kDamagedSuffix, ec);
  if (ec && ec != std::errc::no_such_file_or_directory)
    return fail("cannot move " + path.string() + " aside: " + ec.message() + "; it was not replaced");
  return {};
}

}  // namespace corvane
