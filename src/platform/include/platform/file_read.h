#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "base/result.h"

namespace corvane {

// Why a file could not be read. `missing` tells "there is no such file" (which most callers take as
// "nothing saved yet") apart from a file that is there but could not be read, which must never be
// replaced as if it were empty.
struct FileReadError {
  std::string message;  // names the path and the reason
  bool missing = false;
};

// Larger than anything the program reads; each data file passes the limit that fits its format.
inline constexpr std::size_t kLargestFileRead = std::size_t{1} << 30;

// The whole content of a regular file of at most `max_bytes`. A directory, pipe, socket or device
// (also behind a symbolic link) is refused without waiting on it, as is a file above the limit, so a
// wrong thing in the data folder can neither block nor exhaust the program.
Result<std::string, FileReadError> read_whole_file(const std::filesystem::path& path,
                                                   std::size_t max_bytes = kLargestFileRead);

}  // namespace corvane
