#include "export/program_log.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace corvane {
namespace {

std::string log_line(const LocalDateTime& when, std::string_view text) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", when.year, when.month, when.day,
                when.hour, when.minute, when.second);
  std::string line = stamp;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      line += escaped;
    } else {
      line += c;
    }
  }
  line += '\n';
  return line;
}

}  // namespace

ProgramLog::ProgramLog(std::filesystem::path data_folder, std::uintmax_t most_bytes)
    : path_(std::move(data_folder) / kProgramLogName), most_bytes_(most_bytes) {}

Result<void> ProgramLog::append(const LocalDateTime& when, std::string_view text) {
  namespace fs = std::filesystem;
  const std::string line = log_line(when, text);
  std::error_code ec;
  const fs::file_status status = fs::status(path_, ec);
  if (fs::exists(status)) {
    // A FIFO or a device in its place would block or swallow the log; only a plain file is written.
    if (!fs::is_regular_file(status)) return fail("cannot write " + path_.string() + ": not a regular file");
    const std::uintmax_t size = fs::file_size(path_, ec);
    if (!ec && size + line.size() > most_bytes_) {
      fs::path older = path_;
      older += ".1";
      fs::remove(older, ec);
      fs::rename(path_, older, ec);
      if (ec) return fail("cannot set " + path_.string() + " aside: " + ec.message());
    }
  }
  std::ofstream out(path_, std::ios::binary | std::ios::app);
  out << line;
  out.flush();
  if (!out) return fail("cannot write " + path_.string());
  return {};
}

}  // namespace corvane
