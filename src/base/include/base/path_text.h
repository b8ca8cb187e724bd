#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace corvane {

//! A path as UTF-8 text, for messages and for arguments handed on as text. path::string() would go
//! through the ANSI code page on Windows, which garbles or refuses a folder such as "データ\田中".
inline std::string path_text(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

//! The path that UTF-8 text names (a command-line argument, say); the reverse of path_text().
inline std::filesystem::path path_from_text(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace corvane
