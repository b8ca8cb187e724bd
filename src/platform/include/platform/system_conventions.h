#pragma once

#include <string>
#include <string_view>

namespace corvane {

//! The line end of a text file where nothing else decides: "\r\n" on Windows, "\n" elsewhere.
std::string_view native_line_end();

//! The file name of a program called `name` on this system ("brallow.exe" on Windows).
std::string executable_file_name(std::string_view name);

}  // namespace corvane
