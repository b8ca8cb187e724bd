#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "base/result.h"

namespace corvane {

// A shared library loaded at run time, with lookup of its exports by name. Unloaded when destroyed.
class DynamicLibrary final {
 public:
  //! Loads the library file at `path`; fails with the system's reason when it cannot be loaded.
  static Result<std::unique_ptr<DynamicLibrary>> load(const std::filesystem::path& path);

  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  //! The address of the export `name`, or null when the library has no such export.
  void* symbol(const char* name) const;

  //! The export `name` as a function pointer of type F, or null when it is missing.
  template <typename F>
  F function(const char* name) const {
    return reinterpret_cast<F>(symbol(name));
  }

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

// The file name of a shared library with the given base name on this platform: "lib<name>.so" on Linux,
// "<name>.dll" on Windows.
std::string shared_library_file_name(std::string_view base_name);

}  // namespace corvane
