#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
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

// Where a save really lands: a symbolic link is followed to the file it names (a user who keeps set.ini
// elsewhere and links it in keeps the link), however many links deep; a dangling link names the file
// to create.
Result<std::filesystem::path> follow_links(const std::filesystem::path& path) {
  std::filesystem::path at = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(at.c_str(), target.data(), target.size());
    if (n < 0) return failure("cannot follow the link", at).error();
    target.resize(static_cast<std::size_t>(n));
    const std::filesystem::path next(target);
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return fail("cannot replace " + path.string() + ": too many symbolic links");
}

// A temporary is named ".<file>.corvane-XXXXXX"; one older than this was left by a writer that was
// killed, as no save takes that long. Removing it is safe even if a writer were still busy with it:
// its rename would fail and the file it meant to replace stays as it was.
constexpr const char* kTempMarker = ".corvane-";
constexpr auto kStaleTempAge = std::chrono::minutes(2);

bool is_our_temporary(const std::string& name) {
  const std::size_t marker = name.rfind(kTempMarker);
  return name.size() > 1 && name[0] == '.' && marker != std::string::npos && marker > 0 &&
         name.size() - marker == std::strlen(kTempMarker) + 6;
}

void remove_stale_temporaries(const std::filesystem::path& folder) {
  std::error_code ec;
  const auto now = std::filesystem::file_time_type::clock::now();
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!is_our_temporary(name)) continue;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    std::error_code time_ec;
    const auto written = std::filesystem::last_write_time(it->path(), time_ec);
    if (time_ec || now - written < kStaleTempAge) continue;
    ::unlink(it->path().c_str());
  }
}

}  // namespace

Result<void> write_file_atomically(const std::filesystem::path& link_or_file, std::string_view content) {
  const Result<std::filesystem::path> followed = follow_links(link_or_file);
  if (!followed) return followed.error();
  const std::filesystem::path& path = *followed;
  // Only a regular file can be replaced by renaming: a folder, pipe or device in its place is something
  // else the user has there, and it stays.
  struct stat existing {};
  if (::lstat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
    return fail("cannot replace " + path.string() + ": it is not a regular file");

  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  // mkstemp gives a name nobody else uses, so concurrent writers of one file never share a temporary.
  std::string temp = (folder / ("." + path.filename().string() + kTempMarker + "XXXXXX")).string();
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
  remove_stale_temporaries(folder);
  return {};
}

Result<void> write_chosen_file(const std::filesystem::path& path, std::string_view content) {
  // O_NONBLOCK: a pipe nobody reads fails at once (ENXIO) instead of hanging the program.
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return write_file_atomically(path, content);
    if (errno == ENXIO) return fail("cannot write " + path.string() + ": no program reads from it");
    return failure("cannot write", path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    Result<void> r = failure("cannot write", path);
    ::close(fd);
    return r;
  }
  if (S_ISREG(st.st_mode) && st.st_nlink == 1) {
    ::close(fd);
    return write_file_atomically(path, content);
  }
  // A pipe, terminal or device takes the bytes as they come; a file with other names keeps them all.
  const int flags = ::fcntl(fd, F_GETFL);
  bool ok = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
  if (ok && S_ISREG(st.st_mode)) ok = ::ftruncate(fd, 0) == 0;
  ok = ok && write_all(fd, content);
  if (ok && S_ISREG(st.st_mode)) ok = ::fsync(fd) == 0;
  Result<void> r = ok ? Result<void>{} : failure("cannot write", path);
  if (::close(fd) != 0 && ok) r = failure("cannot write", path);
  return r;
}

}  // namespace corvane
