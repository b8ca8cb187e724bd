// Stands in for the upload tool in tests. Appends one line to the file named by BRALLOW_STUB_RECORD: a
// JSON array of its arguments (without the program name), so a test sees exactly what arrived and how
// many times the tool was started. Exits 0, or 2 when it cannot record.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

int main(int argc, char** argv) {
  const char* record = std::getenv("BRALLOW_STUB_RECORD");
  if (!record || !*record) return 2;
  nlohmann::json args = nlohmann::json::array();
  for (int i = 1; i < argc; ++i)
    args.push_back(argv[i]);
  const std::string line = args.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  // One write of one line with O_APPEND: lines of concurrent starts never interleave.
  const int fd = ::open(record, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return 2;
  const bool ok = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  ::close(fd);
  return ok ? 0 : 2;
}
