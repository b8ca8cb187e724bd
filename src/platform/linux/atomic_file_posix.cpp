#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  // mkstemp creates 0600; the files should read like any other document of the user's. (umask cannot
  // be read without changing it, which would race with other threads.)
  if (::fchmod(fd, 0644) != 0) return abandon("cannot set the mode of the temporary for");
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
