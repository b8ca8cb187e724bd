#include "app/autostart.h"

#include <cstdlib>
#include <system_error>

namespace corvane {
namespace {

// The Exec key's quoting: the argument in double quotes, with ", `, $ and \ escaped by a backslash.
std::string quote_exec_argument(const std::string& arg) {
  std::string out = "\"";
  for (char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace

std::filesystem::path autostart_entry_path() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path base;
  if (config && *config) {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home && *home ? home : "/tmp") / ".config";
  }
  return base / "autostart" / "corvane.desktop";
}

std::string autostart_entry(const std::string& program) {
  // A "%" in a path would read as a field code; the entry format writes it "%%".
  std::string escaped;
  for (char c : quote_exec_argument(program)) {
    escaped += c;
    if (c == '%') escaped += '%';
  }
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Corvane\n"
         "Comment=Mouse activity and heart-rate companion\n"
         "Exec=" +
         escaped +
         " /hide\n"
         "Icon=corvane\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool autostart_enabled(const std::filesystem::path& entry) {
  std::error_code ec;
  return std::filesystem::is_regular_file(entry, ec);
}

Result<void> set_autostart(bool enabled, const std::string& program, const std::filesystem::path& entry) {
  std::error_code ec;
  if (!enabled) {
    std::filesystem::remove(entry, ec);
    if (ec) return fail("cannot remove " + entry.string() + ": " + ec.message());
    return {};
  }
  std::filesystem::create_directories(entry.parent_path(), ec);
  if (ec) return fail("cannot create " + entry.parent_path().string() + ": " + ec.message());
  return write_file_atomically(entry, autostart_entry(program));
}

}  // namespace corvane
