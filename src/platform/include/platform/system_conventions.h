#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

//! The line end of a text file where nothing else decides: "\r\n" on Windows, "\n" elsewhere.
std::string_view native_line_end();

//! The file name of a program called `name` on this system ("brallow.exe" on Windows).
std::string executable_file_name(std::string_view name);

//! The arguments after the program's name as UTF-8 text. Windows gives main() its arguments in the
//! ANSI code page, which cannot hold a folder such as "データ\田中": there they come from the wide
//! command line instead.
std::vector<std::string> program_arguments(int argc, char** argv);

}  // namespace corvane
