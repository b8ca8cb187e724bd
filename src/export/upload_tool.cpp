#include "base/path_text.h"
#include "export/upload_tool.h"

#include <cstdlib>

#include "platform/folders.h"
#include "platform/system_conventions.h"

namespace corvane {

std::filesystem::path upload_tool_path() {
  const char* override_path = std::getenv(kUploadToolVariable);
  if (override_path && *override_path) return override_path;
  return program_folder() / executable_file_name("brallow");
}

Result<void> start_upload_tool(const std::filesystem::path& tool, const std::string& device_id,
                               const std::filesystem::path& upload_file) {
  return launch_detached(tool, {"_upload", device_id, path_text(upload_file)});
}

}  // namespace corvane
