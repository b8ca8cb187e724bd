#include <windows.h>

#include <string>

#include "base/path_text.h"
#include "platform/atomic_file.h"

namespace corvane {

Result<void> write_file_atomically(const std::filesystem::path& path, std::string_view content) {
  const std::filesystem::path temp = path.wstring() + L".tmp";
  HANDLE h =
      CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail("cannot create " + path_text(temp));
  DWORD written = 0;
  const bool ok = WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                  written == content.size() && FlushFileBuffers(h);
  CloseHandle(h);
  if (!ok) {
    DeleteFileW(temp.c_str());
    return fail("cannot write " + path_text(temp));
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return fail("cannot replace " + path_text(path));
  }
  return {};
}

}  // namespace corvane
