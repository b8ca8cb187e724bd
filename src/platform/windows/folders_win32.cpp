#include <shlobj.h>
#include <windows.h>

#include <string>

#include "platform/folders.h"

namespace corvane {

std::filesystem::path documents_folder() {
  PWSTR raw = nullptr;
  std::filesystem::path docs;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &raw))) docs = raw;
  CoTaskMemFree(raw);
  return docs;
}

std::filesystem::path default_data_folder() {
  return documents_folder() / "Corvane";
}

std::filesystem::path program_folder() {
  // A path longer than the buffer comes back cut short (with the buffer's size as its length), so the
  // buffer grows until the whole path fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return std::filesystem::path(buffer).parent_path();
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace corvane
