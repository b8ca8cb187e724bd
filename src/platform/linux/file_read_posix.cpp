#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/file_read.h"

namespace corvane {
namespace {

const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

FileReadError too_large(const std::filesystem::path& path, std::size_t max_bytes) {
  return {path.string() + " is larger than " + std::to_string(max_bytes) + " bytes; it was not read", false};
}

}  // namespace

Result<std::string, FileReadError> read_whole_file(const std::filesystem::path& path, std::size_t max_bytes) {
  // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer that may never come. The
  // type is then judged on the opened descriptor, so nothing can be swapped in between.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    return FileReadError{"cannot read " + path.string() + ": " + std::strerror(error), error == ENOENT};
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};

  struct stat st {};
  if (::fstat(fd, &st) != 0)
    return FileReadError{"cannot read " + path.string() + ": " + std::strerror(errno)};
  if (!S_ISREG(st.st_mode))
    return FileReadError{path.string() + " is " + kind_of(st.st_mode) + "; it was not read"};
  if (static_cast<std::uintmax_t>(st.st_size) > max_bytes) return too_large(path, max_bytes);

  std::string content(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t filled = 0;
  for (;;) {
    // One byte of room beyond the limit tells a file that grew since fstat from one that ends there.
    if (filled == content.size()) {
      if (content.size() > max_bytes) return too_large(path, max_bytes);
      content.resize(std::min(max_bytes + 1, std::max<std::size_t>(content.size() * 2, 4096)));
    }
    const ssize_t n = ::read(fd, content.data() + filled, content.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileReadError{"cannot read " + path.string() + ": " + std::strerror(errno)};
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  if (filled > max_bytes) return too_large(path, max_bytes);
  content.resize(filled);
  return content;
}

}  // namespace corvane
