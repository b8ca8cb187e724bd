#include <windows.h>

#include "base/path_text.h"
#include "platform/dynamic_library.h"

namespace corvane {

Result<std::unique_ptr<DynamicLibrary>> DynamicLibrary::load(const std::filesystem::path& path) {
  // LOAD_WITH_ALTERED_SEARCH_PATH: the library's own dependencies are searched in its folder first.
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) {
    return fail("cannot load " + path_text(path) + " (error " + std::to_string(::GetLastError()) + ")");
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

DynamicLibrary::~DynamicLibrary() {
  ::FreeLibrary(static_cast<HMODULE>(handle_));
}

void* DynamicLibrary::symbol(const char* name) const {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::string shared_library_file_name(std::string_view base_name) {
  return std::string(base_name) + ".dll";
}

}  // namespace corvane
