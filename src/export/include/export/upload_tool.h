#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/process_launcher.h"

namespace corvane {

inline constexpr const char* kUploadToolVariable = "CORVANE_UPLOAD_TOOL";

// The upload tool: "brallow" ("brallow.exe" on Windows) in the program folder, unless the environment
// variable CORVANE_UPLOAD_TOOL names another program.
std::filesystem::path upload_tool_path();

// Starts the tool hidden with three arguments, each passed as one argument whatever it holds: "_upload",
// the device ID and the full path of the upload file. The caller watches its end.
Result<std::unique_ptr<ChildProcess>> start_upload_tool(const std::filesystem::path& tool,
                                                        const std::string& device_id,
                                                        const std::filesystem::path& upload_file);

}  // namespace corvane
