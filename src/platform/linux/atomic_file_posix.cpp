#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/atomic_file.h"

namespace corvane {
namespace {

Result<void> failure(const std::string& what, const std::filesystem::path& path) {
  return fail(what + " " + path.string() + ": " + std::strerror(errno));
}

bool write_all(int fd, std::string_view content) {
  const char* p = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// The process's umask, read without changing it (umask() would race with other threads' file
// creation): Linux reports it in /proc/self/status. Where it cannot be read, the usual 022.
mode_t current_umask() {
  const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 022;
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
  ::close(fd);
  if (n <= 0) return 022;
  buffer[n] = '\0';
  const char* line = std::strstr(buffer, "\nUmask:");
  if (!line) return 022;
  return static_cast<mode_t>(std::strtoul(line + 7, nullptr, 8)) & 0777;
}

// The mode the new content gets: the replaced file's own (a user's chmod 600 on the heart-rate list
// stays), or for a new file what the user's umask gives any new document.
mode_t mode_for(const std::filesystem::path& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) return existing.st_mode & 07777;
  return 0666 & ~current_umask();
}

}  // namespace

Result<void> write_file_atomically(const std::filesystem::path& path, std::string_view content) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  // mkstemp gives a name nobody else uses, so concurrent writers of one file never share a temporary.
  std::string temp = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return failure("cannot create a temporary file beside", path);

  auto abandon = [&](const char* what) {
    Result<void> r = failure(what, path);
    ::close(fd);
    ::unlink(temp.c_str());
    return r;
  };
  // mkstemp creates 0600; the file keeps the mode it had, or gets the one the user's umask gives.
  if (::fchmod(fd, mode_for(path)) != 0) return abandon("cannot set the mode of the temporary for");
  if (!write_all(fd, content)) return abandon("cannot write");
  if (::fsync(fd) != 0) return abandon("cannot flush");
  if (::close(fd) != 0) {
    Result<void> r = failure("cannot close", path);
    ::unlink(temp.c_str());
    return r;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    Result<void> r = failure("cannot replace", path);
    ::unlink(temp.c_str());
    return r;
  }
  // The rename only survives a power cut once the folder itself is on disk.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

}  // namespace corvane
