#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace corvane::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder() {
    // create_directory says whether it made the folder, so a name another test took is never shared.
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ =
          std::filesystem::temp_directory_path() / ("corvane-test-" + std::to_string(random() % 1000000000));
      if (std::filesystem::create_directory(path_)) {
        // Private like mkdtemp's folders: a test may keep a socket here, which is only as private as this.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
        return;
      }
    }
    throw std::runtime_error("no fresh temporary folder");
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace corvane::testing
