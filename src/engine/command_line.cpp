#include "engine/command_line.h"

#include <charconv>

#include "base/path_text.h"

namespace corvane {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool read_number(std::string_view text, std::size_t at, std::size_t digits, int& out) {
  if (at + digits > text.size()) return false;
  for (std::size_t i = at; i < at + digits; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  std::from_chars(text.data() + at, text.data() + at + digits, out);
  return true;
}

bool leap_year(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int days_in_month(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leap_year(y) ? 29 : kDays[m - 1];
}

}  // namespace

std::optional<LocalDateTime> parse_local_datetime(std::string_view s) {
  // YYYY-MM-DDTHH:MM:SS
  if (s.size() != 19 || s[4] != '-' || s[7] != '-' || (s[10] != 'T' && s[10] != 't') || s[13] != ':' ||
      s[16] != ':')
    return std::nullopt;
  LocalDateTime t;
  if (!read_number(s, 0, 4, t.year) || !read_number(s, 5, 2, t.month) || !read_number(s, 8, 2, t.day) ||
      !read_number(s, 11, 2, t.hour) || !read_number(s, 14, 2, t.minute) || !read_number(s, 17, 2, t.second))
    return std::nullopt;
  if (t.year < 1970 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > days_in_month(t.year, t.month) ||
      t.hour > 23 || t.minute > 59 || t.second > 59)
    return std::nullopt;
  t.weekday = from_local_timestamp(to_local_timestamp(t)).weekday;
  return t;
}

Result<CommandLine> parse_command_line(std::span<const std::string_view> args) {
  CommandLine o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    auto value = [&]() -> std::optional<std::string_view> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    const std::string folded = lower(arg);
    if (folded == "/close" || folded == "--close") {
      o.close = true;
    } else if (folded == "/hide" || folded == "--hide") {
      o.hide = true;
    } else if (folded == "--demo") {
      o.demo = true;
    } else if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--headless") {
      o.headless = true;
    } else if (arg == "--fast") {
      o.fast = true;
    } else if (arg == "--data-dir") {
      const auto v = value();
      if (!v || v->empty()) return fail("--data-dir needs a folder");
      o.data_dir = path_from_text(*v);
    } else if (arg == "--replay") {
      const auto v = value();
      if (!v || v->empty()) return fail("--replay needs a capture file");
      o.replay = path_from_text(*v);
    } else if (arg == "--start") {
      const auto v = value();
      if (!v) return fail("--start needs a local time YYYY-MM-DDTHH:MM:SS");
      o.start = parse_local_datetime(*v);
      if (!o.start) return fail("--start: not a local time YYYY-MM-DDTHH:MM:SS: " + std::string(*v));
    } else if (arg == "--export-csv") {
      const auto v = value();
      if (!v || v->empty()) return fail("--export-csv needs an output file");
      o.export_csv = path_from_text(*v);
      o.headless = true;  // a scripting command: it writes the file and ends, without windows
    } else if (arg == "--screenshots") {
      const auto v = value();
      if (!v || v->empty()) return fail("--screenshots needs a folder");
      o.screenshots = path_from_text(*v);
    } else if (arg == "--screenshot-delay") {
      const std::string_view v = value().value_or("");
      int seconds = -1;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), seconds);
      if (v.empty() || ec != std::errc() || end != v.data() + v.size() || seconds < 0 || seconds > 3600)
        return fail("--screenshot-delay needs a number of seconds (0-3600)");
      o.screenshot_delay_s = seconds;
    } else if (arg.starts_with("--")) {
      return fail("unknown option " + std::string(arg));
    }
  }
  if (o.export_csv && o.replay) return fail("--export-csv does not run a capture; drop --replay");
  if (o.fast && !o.replay) return fail("--fast needs --replay (virtual time runs a capture)");
  if (o.fast && !o.headless) return fail("--fast needs --headless");
  if (o.headless && (o.demo || o.screenshots))
    return fail("--demo and --screenshots need the desktop program, not --headless");
  if (o.demo && o.replay) return fail("--demo plays the built-in capture; drop --replay");
  return o;
}

std::string command_line_usage() {
  return "usage: corvane [/hide] [--data-dir DIR] [--replay FILE | --demo] [--start YYYY-MM-DDTHH:MM:SS]\n"
         "       corvane /close [--data-dir DIR]\n"
         "       corvane --headless [--data-dir DIR] [--replay FILE [--fast]] [--start YYYY-MM-DDTHH:MM:SS]\n"
         "       corvane --export-csv PATH [--data-dir DIR] [--start YYYY-MM-DDTHH:MM:SS]\n"
         "  --data-dir DIR   keep the day files in DIR instead of the documents folder's Corvane\n"
         "  /close, --close  end the program running on the data folder (it saves the day first)\n"
         "  /hide, --hide    start hidden in the tray\n"
         "  --replay FILE    take the reports from a capture instead of the sensor mouse\n"
         "  --demo           the desktop program fed by its built-in capture (no mouse needed)\n"
         "  --start TIME     the local wall clock at the capture's start (default: now)\n"
         "  --headless       run without windows; messages are printed to stderr\n"
         "  --fast           with --headless --replay: virtual time, as fast as possible\n"
         "  --export-csv PATH  write the heart-rate list and 90 days of clicks to PATH as CSV, then end\n"
         "  --screenshots DIR  save pictures of the main menu and each page into DIR, then end\n"
         "  --screenshot-delay S  seconds before the first picture (default 3)\n"
         "exit status: 0 done, 1 the day could not be saved or /close got no answer, 2 unusable start,\n"
         "             3 another Corvane runs on the data folder\n";
}

}  // namespace corvane
