#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "base/path_text.h"
#include "platform/atomic_file.h"

namespace corvane {

// An INI text read and edited the way the Windows profile functions do it, so a "set.ini" written by
// either side reads the same on the other:
// - section and key names compare without regard to ASCII case; blanks around names and values are
//   dropped; one pair of matching quotes around a value is removed; lines starting with ';' are comments;
// - a missing section or key reads as the caller's default;
// - a write replaces the value of the first matching key in place and leaves every other line as it was
//   (other sections, unknown keys, comments, order, line ends), or appends the key to its section, or
//   appends the section.
// Text is UTF-8; a leading byte-order mark is kept.
class IniFile final {
 public:
  IniFile() = default;
  static IniFile parse(std::string_view text);
  // A missing or unreadable file gives an empty document.
  static IniFile load(const std::filesystem::path& path);

  std::optional<std::string> find(std::string_view section, std::string_view key) const;
  std::string get_string(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Reads an integer as the profile functions do: optional sign, then the leading decimal digits; a value
  // without digits is 0; a missing key is `fallback`. Values beyond the int range saturate.
  int get_int(std::string_view section, std::string_view key, int fallback) const;

  // Line breaks in a value would start new keys; they are written as blanks. A value that the reading
  // rules above would change (outer blanks, outer quotes) is written in quotes so it reads back as given.
  void set_string(std::string_view section, std::string_view key, std::string_view value);
  // Written as "%d".
  void set_int(std::string_view section, std::string_view key, int value);

  std::string text() const;
  Result<void> save(const std::filesystem::path& path) const;

 private:
  struct Line {
    std::string text;  // without the line end
    std::string eol;   // "\n", "\r\n" or "" for a last line without one
  };
  // Index of the section header line, or npos.
  std::size_t find_section(std::string_view section) const;
  // Index of the key's line within the section starting at `header`, or npos.
  std::size_t find_key(std::size_t header, std::string_view key) const;
  std::string new_line_end() const;

  std::string bom_;
  std::vector<Line> lines_;
};

// Parses an integer the way the profile functions do (see IniFile::get_int).
int parse_profile_int(std::string_view text);

// One-shot reads and writes of a single key. Engine thread only (on the desktop the GUI thread: the
// settings page and the device ID at start-up); no other thread writes "set.ini", so nothing is locked.
std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key, std::string_view fallback);
int read_profile_int(const std::filesystem::path& file, std::string_view section, std::string_view key,
                     int fallback);
Result<void> write_profile_string(const std::filesystem::path& file, std::string_view section,
                                  std::string_view key, std::string_view value);
// Loads the file, lets `edit` change it and saves it atomically. An `edit` that returns false leaves the
// file untouched (and the result is ok). A file that exists but cannot be read is never replaced: the
// edit sees an empty document and the failure is returned.
template <typename Edit>
Result<void> update_profile(const std::filesystem::path& file, Edit&& edit);

namespace detail {
// The file's document; an empty one when it does not exist; nothing when it exists but cannot be read.
std::optional<IniFile> load_for_update(const std::filesystem::path& file);
}  // namespace detail

template <typename Edit>
Result<void> update_profile(const std::filesystem::path& file, Edit&& edit) {
  std::optional<IniFile> loaded = detail::load_for_update(file);
  const bool unreadable = !loaded;
  IniFile ini = unreadable ? IniFile{} : std::move(*loaded);
  if constexpr (std::is_same_v<decltype(edit(ini)), bool>) {
    if (!edit(ini)) return {};
  } else {
    edit(ini);
  }
  // Replacing a file we could not read would lose whatever else it holds.
  if (unreadable) return fail("cannot read " + path_text(file) + "; it was left as it is");
  return ini.save(file);
}

}  // namespace corvane
