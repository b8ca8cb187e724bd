#include "base/path_text.h"
#include "replay/capture.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>

#include "base/file_read.h"

namespace corvane {
namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (is_space(s.front()) || s.front() == '\r'))
    s.remove_prefix(1);
  while (!s.empty() && (is_space(s.back()) || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Splits off the next space-separated field; the rest keeps everything after one separator.
std::string_view next_field(std::string_view& rest) {
  while (!rest.empty() && is_space(rest.front()))
    rest.remove_prefix(1);
  std::size_t end = 0;
  while (end < rest.size() && !is_space(rest[end]))
    ++end;
  std::string_view field = rest.substr(0, end);
  rest.remove_prefix(end);
  if (!rest.empty()) rest.remove_prefix(1);
  return field;
}

template <typename T>
std::optional<T> parse_int(std::string_view s, int base = 10) {
  T value{};
  if (s.empty()) return std::nullopt;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (ec != std::errc{} || ptr != s.data() + s.size()) return std::nullopt;
  return value;
}

std::optional<std::uint16_t> parse_flags(std::string_view s) {
  if (s.size() < 3 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return std::nullopt;
  s.remove_prefix(2);
  if (s.size() > 4) return std::nullopt;
  return parse_int<std::uint16_t>(s, 16);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses one report line; returns the reason when it is malformed.
std::string parse_line(std::string_view line, CaptureEntry& entry) {
  std::string_view rest = line;
  const auto t = parse_int<std::int64_t>(next_field(rest));
  if (!t || *t < 0) return "the time must be a whole number of milliseconds, 0 or more";
  entry.t_ms = *t;

  const std::string_view kind = next_field(rest);
  if (kind == "mouse") {
    MouseReport r;
    const auto flags = parse_flags(next_field(rest));
    if (!flags) return "button flags must be hexadecimal like 0x0001";
    r.button_flags = *flags;
    const std::string_view motion = next_field(rest);
    if (motion == "rel") {
      r.absolute = false;
    } else if (motion == "abs") {
      r.absolute = true;
    } else {
      return "motion must be 'rel' or 'abs'";
    }
    std::int32_t* fields[] = {&r.dx, &r.dy, &r.cursor_x, &r.cursor_y};
    const char* names[] = {"dx", "dy", "x", "y"};
    for (int i = 0; i < 4; ++i) {
      const auto v = parse_int<std::int32_t>(next_field(rest));
      if (!v) return std::string(names[i]) + " must be a whole number";
      *fields[i] = *v;
    }
    rest = trim(rest);
    if (rest.empty()) return "the device name is missing";
    r.device_name = std::string(rest);
    entry.report = std::move(r);
    return {};
  }
  if (kind == "hid") {
    const std::string_view hex = next_field(rest);
    if (!rest.empty()) return "a hid line holds one run of hex digits";
    if (hex.empty() || hex.size() % 2 != 0) return "the report must be an even number of hex digits";
    HidReport r;
    r.bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      const int hi = hex_digit(hex[i]);
      const int lo = hex_digit(hex[i + 1]);
      if (hi < 0 || lo < 0) return "the report must be an even number of hex digits";
      r.bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    entry.report = std::move(r);
    return {};
  }
  return "unknown report kind '" + std::string(kind) + "' (mouse or hid)";
}

std::string located(std::string_view file_name, std::size_t line_number, std::string_view what) {
  return std::string(file_name) + ":" + std::to_string(line_number) + ": " + std::string(what);
}

}  // namespace

Result<std::vector<CaptureEntry>> parse_capture(std::string_view text, std::string_view file_name) {
  std::vector<CaptureEntry> entries;
  std::size_t line_number = 0;
  std::int64_t previous_t = 0;
  bool header_seen = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++line_number;

    const std::string_view line = trim(raw);
    if (!header_seen) {
      if (line != kCaptureHeader)
        return fail(located(file_name, line_number, "the first line must be \"corvane-capture 1\""));
      header_seen = true;
      continue;
    }
    if (line.empty() || line.front() == '#') continue;

    CaptureEntry entry;
    std::string why = parse_line(line, entry);
    if (why.empty() && entry.t_ms < previous_t) why = "the time goes back";
    if (!why.empty()) return fail(located(file_name, line_number, why));
    previous_t = entry.t_ms;
    entries.push_back(std::move(entry));
  }
  if (!header_seen)
    return fail(located(file_name, 1, "empty file: the first line must be \"corvane-capture 1\""));
  return entries;
}

Result<std::vector<CaptureEntry>> read_capture(const std::filesystem::path& path) {
  const auto text = read_whole_file(path);
  if (!text) return fail(path_text(path) + ": cannot be read");
  return parse_capture(*text, path_text(path));
}

std::string format_capture_line(std::int64_t t_ms, const MouseReport& r) {
  char head[160];
  std::snprintf(head, sizeof head, "%lld mouse 0x%04x %s %d %d %d %d ", static_cast<long long>(t_ms),
                static_cast<unsigned>(r.button_flags), r.absolute ? "abs" : "rel", r.dx, r.dy, r.cursor_x,
                r.cursor_y);
  return head + r.device_name;
}

std::string format_capture_line(std::int64_t t_ms, const HidReport& r) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line = std::to_string(t_ms) + " hid ";
  line.reserve(line.size() + r.bytes.size() * 2);
  for (std::uint8_t b : r.bytes) {
    line.push_back(kHex[b >> 4]);
    line.push_back(kHex[b & 15]);
  }
  return line;
}

}  // namespace corvane
