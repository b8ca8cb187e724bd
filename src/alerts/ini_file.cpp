#include "alerts/ini_file.h"

#include <climits>
#include <cstdio>

#include "platform/file_read.h"
#include "platform/system_conventions.h"

namespace corvane {
namespace {

constexpr std::size_t npos = std::string::npos;

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back()))
    s.remove_suffix(1);
  return s;
}

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// "[name]" -> name; anything else -> nullopt.
std::optional<std::string_view> section_name(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

bool is_comment(std::string_view line) {
  line = trim(line);
  return !line.empty() && line.front() == ';';
}

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyValue> key_value(std::string_view line) {
  if (is_comment(line) || section_name(line)) return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == npos) return std::nullopt;
  return KeyValue{trim(line.substr(0, eq)), trim(line.substr(eq + 1))};
}

std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

std::string encode_value(std::string_view value) {
  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  const bool needs_quotes =
      !v.empty() && (is_blank(v.front()) || is_blank(v.back()) ||
                     (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()));
  return needs_quotes ? '"' + v + '"' : v;
}

}  // namespace

int parse_profile_int(std::string_view text) {
  text = trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) {
      value = static_cast<long long>(INT_MAX) + 1;
      break;
    }
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

IniFile IniFile::parse(std::string_view text) {
  IniFile ini;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    ini.bom_ = "\xEF\xBB\xBF";
    text.remove_prefix(3);
  }
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    Line line;
    if (nl == npos) {
      line.text = std::string(text);
      text = {};
    } else {
      std::string_view body = text.substr(0, nl);
      if (!body.empty() && body.back() == '\r') {
        body.remove_suffix(1);
        line.eol = "\r\n";
      } else {
        line.eol = "\n";
      }
      line.text = std::string(body);
      text.remove_prefix(nl + 1);
    }
    ini.lines_.push_back(std::move(line));
  }
  return ini;
}

IniFile IniFile::load(const std::filesystem::path& path) {
  const auto text = read_whole_file(path, kMaxIniBytes);
  return text ? parse(*text) : IniFile{};
}

std::size_t IniFile::find_section(std::string_view section) const {
  const std::string_view wanted = trim(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = section_name(lines_[i].text);
    if (name && same_name(*name, wanted)) return i;
  }
  return npos;
}

std::size_t IniFile::find_key(std::size_t header, std::string_view key) const {
  const std::string_view wanted = trim(key);
  for (std::size_t i = header + 1; i < lines_.size(); ++i) {
    if (section_name(lines_[i].text)) break;
    const auto kv = key_value(lines_[i].text);
    if (kv && same_name(kv->key, wanted)) return i;
  }
  return npos;
}

std::optional<std::string> IniFile::find(std::string_view section, std::string_view key) const {
  const std::size_t header = find_section(section);
  if (header == npos) return std::nullopt;
  const std::size_t at = find_key(header, key);
  if (at == npos) return std::nullopt;
  return std::string(unquote(key_value(lines_[at].text)->value));
}

std::string IniFile::get_string(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  auto v = find(section, key);
  return v ? *v : std::string(fallback);
}

int IniFile::get_int(std::string_view section, std::string_view key, int fallback) const {
  auto v = find(section, key);
  return v ? parse_profile_int(*v) : fallback;
}

std::string IniFile::new_line_end() const {
  for (const auto& l : lines_)
    if (!l.eol.empty()) return l.eol;
  return std::string(native_line_end());
}

void IniFile::set_string(std::string_view section, std::string_view key, std::string_view value) {
  const std::string encoded = encode_value(value);
  const std::string eol = new_line_end();
  std::size_t header = find_section(section);
  if (header == npos) {
    if (!lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = eol;
    lines_.push_back({"[" + std::string(trim(section)) + "]", eol});
    lines_.push_back({std::string(trim(key)) + "=" + encoded, eol});
    return;
  }
  const std::size_t at = find_key(header, key);
  if (at != npos) {
    // Keep the key as it is spelled in the file; only the value changes.
    std::string& text = lines_[at].text;
    text = std::string(trim(text.substr(0, text.find('=')))) + "=" + encoded;
    return;
  }
  // Append after the last key of the section, before any blank lines or comments that close it.
  std::size_t insert_at = header + 1;
  for (std::size_t i = header + 1; i < lines_.size() && !section_name(lines_[i].text); ++i)
    if (key_value(lines_[i].text)) insert_at = i + 1;
  if (insert_at == lines_.size() && !lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = eol;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at),
                Line{std::string(trim(key)) + "=" + encoded, eol});
}

void IniFile::set_int(std::string_view section, std::string_view key, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  set_string(section, key, text);
}

std::string IniFile::text() const {
  std::string out = bom_;
  for (const auto& l : lines_)
    out += l.text + l.eol;
  return out;
}

Result<void> IniFile::save(const std::filesystem::path& path) const {
  return write_file_atomically(path, text());
}

namespace detail {
Result<IniFile> load_for_update(const std::filesystem::path& file) {
  const auto text = read_whole_file(file, kMaxIniBytes);
  if (text) return IniFile::parse(*text);
  if (text.error().missing) return IniFile{};
  return fail(text.error().message + "; it was left as it is");
}
}  // namespace detail

std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key, std::string_view fallback) {
  return IniFile::load(file).get_string(section, key, fallback);
}

int read_profile_int(const std::filesystem::path& file, std::string_view section, std::string_view key,
                     int fallback) {
  return IniFile::load(file).get_int(section, key, fallback);
}

Result<void> write_profile_string(const std::filesystem::path& file, std::string_view section,
                                  std::string_view key, std::string_view value) {
  return update_profile(file, [&](IniFile& ini) { ini.set_string(section, key, value); });
}

}  // namespace corvane
