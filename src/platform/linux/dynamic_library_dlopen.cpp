#include <dlfcn.h>

#include "platform/dynamic_library.h"

namespace corvane {

Result<std::unique_ptr<DynamicLibrary>> DynamicLibrary::load(const std::filesystem::path& path) {
  // RTLD_NOW: an unresolvable dependency fails here, not at the first call in the middle of a measurement.
  // RTLD_LOCAL: the library's exports stay out of the global namespace.
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    return fail(why ? why : ("cannot load " + path.string()));
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() {
  ::dlclose(handle_);
}

void* DynamicLibrary::symbol(const char* name) const {
  // A symbol's address may legitimately be null only for weak undefined symbols, which no library of
  // ours exports; null therefore means "missing".
  return ::dlsym(handle_, name);
}

std::string shared_library_file_name(std::string_view base_name) {
  return "lib" + std::string(base_name) + ".so";
}

}  // namespace corvane
