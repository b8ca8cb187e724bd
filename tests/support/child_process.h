#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace corvane::testing {

//! Starts `program` with `args` (each handed over unchanged, spaces and all, no shell in between),
//! waits for it and returns its exit status; -1 when it could not be started or did not exit normally
//! (on Windows also when it has not ended within two minutes: it is ended then).
int run_program(const std::filesystem::path& program, const std::vector<std::string>& args);

}  // namespace corvane::testing
