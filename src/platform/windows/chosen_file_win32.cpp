#include "platform/atomic_file.h"

namespace corvane {

// Pipes and devices are not reached through folder paths on Windows: every chosen file is a file.
Result<void> write_chosen_file(const std::filesystem::path& path, std::string_view content) {
  return write_file_atomically(path, content);
}

}  // namespace corvane
