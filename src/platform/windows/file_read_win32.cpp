#include <fstream>
#include <system_error>

#include "platform/file_read.h"

namespace corvane {

// Windows keeps pipes and devices out of the folder tree, so judging the type by name is enough here.
Result<std::string, FileReadError> read_whole_file(const std::filesystem::path& path, std::size_t max_bytes) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found)
    return FileReadError{"cannot read " + path.string() + ": no such file", true};
  if (ec) return FileReadError{"cannot read " + path.string() + ": " + ec.message()};
  if (status.type() != std::filesystem::file_type::regular)
    return FileReadError{path.string() + " is not a regular file; it was not read"};
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return FileReadError{"cannot read " + path.string() + ": " + ec.message()};
  if (size > max_bytes)
    return FileReadError{path.string() + " is larger than " + std::to_string(max_bytes) +
                         " bytes; it was not read"};

  std::ifstream in(path, std::ios::binary);
  if (!in) return FileReadError{"cannot read " + path.string()};
  // istream::read catches what the buffer throws and sets badbit, so a read error is reported, not thrown.
  std::string content(static_cast<std::size_t>(size), '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad() || static_cast<std::uintmax_t>(in.gcount()) != size)
    return FileReadError{"cannot read " + path.string()};
  return content;
}

}  // namespace corvane
