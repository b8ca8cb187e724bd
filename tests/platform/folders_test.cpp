#include "platform/folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_folder.h"

namespace corvane {
namespace {

// Sets environment variables for one test and puts the old values back.
class Environment final {
 public:
  void set(const char* name, const std::string& value) {
    remember(name);
    ::setenv(name, value.c_str(), 1);
  }
  void unset(const char* name) {
    remember(name);
    ::unsetenv(name);
  }
  ~Environment() {
    for (const auto& [name, value] : saved_)
      value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }

 private:
  void remember(const char* name) {
    const char* v = std::getenv(name);
    saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(DataFolder, follows_the_documents_folder_of_the_environment_then_of_the_desktop) {
  testing::TempFolder home;
  Environment env;
  env.set("HOME", home.path().string());
  env.set("XDG_CONFIG_HOME", (home / "config").string());
  std::filesystem::create_directories(home / "config");
  std::ofstream(home / "config" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";

  env.set("XDG_DOCUMENTS_DIR", "/srv/papers");
  EXPECT_EQ(default_data_folder(), std::filesystem::path("/srv/papers/Corvane"));
  env.unset("XDG_DOCUMENTS_DIR");
  EXPECT_EQ(default_data_folder(), home / "Dokumente" / "Corvane");
}

}  // namespace
}  // namespace corvane
