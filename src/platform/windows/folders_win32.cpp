#include <shlobj.h>
#include <windows.h>

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
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return std::filesystem::path(std::wstring(buffer, n)).parent_path();
}

}  // namespace corvane
