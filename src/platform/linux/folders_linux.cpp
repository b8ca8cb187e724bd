#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <system_error>

#include "platform/file_read.h"
#include "platform/folders.h"

namespace corvane {
namespace {

std::filesystem::path home_folder() {
  const char* home = std::getenv("HOME");
  return home && *home ? std::filesystem::path(home) : std::filesystem::path("/tmp");
}

// Reads XDG_DOCUMENTS_DIR from ~/.config/user-dirs.dirs, where desktops keep the localised name.
std::filesystem::path documents_from_user_dirs(const std::filesystem::path& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::filesystem::path base = config && *config ? std::filesystem::path(config) : home / ".config";
  // A pipe or a huge file in its place must not hold up the start: it is a few lines.
  const auto text = read_whole_file(base / "user-dirs.dirs", 64 * 1024);
  if (!text) return {};
  std::istringstream in(*text);
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=";
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) return home / value.substr(value.size() > 5 ? 6 : 5);
    if (!value.empty() && value.front() == '/') return value;
  }
  return {};
}

}  // namespace

std::filesystem::path documents_folder() {
  // The environment wins over the desktop's file, as with every XDG user folder.
  const char* from_environment = std::getenv("XDG_DOCUMENTS_DIR");
  if (from_environment && from_environment[0] == '/') return from_environment;
  const std::filesystem::path home = home_folder();
  std::filesystem::path docs = documents_from_user_dirs(home);
  return docs.empty() ? home / "Documents" : docs;
}

std::filesystem::path default_data_folder() {
  return documents_folder() / "Corvane";
}

std::filesystem::path program_folder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

}  // namespace corvane
