#include "app/shell_args.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace corvane {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

}  // namespace

ShellArgs split_shell_args(const std::vector<std::string_view>& args) {
  ShellArgs out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const std::string folded = lower(arg);
    if (folded == "--demo") {
      out.demo = true;
    } else if (folded == "--close") {
      out.rest.emplace_back("/close");
    } else if (folded == "--hide") {
      out.rest.emplace_back("/hide");
    } else if (arg == "--screenshots") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        out.error = "--screenshots needs a folder";
        return out;
      }
      out.screenshots = std::string(args[++i]);
    } else if (arg == "--screenshot-delay") {
      int seconds = -1;
      const std::string_view v = i + 1 < args.size() ? args[++i] : std::string_view();
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), seconds);
      if (v.empty() || ec != std::errc() || end != v.data() + v.size() || seconds < 0 || seconds > 3600) {
        out.error = "--screenshot-delay needs a number of seconds (0-3600)";
        return out;
      }
      out.screenshot_delay_s = seconds;
    } else {
      out.rest.emplace_back(arg);
    }
  }
  return out;
}

}  // namespace corvane
