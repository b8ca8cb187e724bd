#pragma once

#include <filesystem>

namespace corvane {

// The user's documents folder (XDG "DOCUMENTS" on Linux, the shell's Documents folder on Windows).
std::filesystem::path documents_folder();

// Where everything the program stores lives: the documents folder followed by "Corvane/".
std::filesystem::path default_data_folder();

// The folder of the running executable: the detection library and the upload tool stand there.
std::filesystem::path program_folder();

}  // namespace corvane
