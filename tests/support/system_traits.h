#pragma once

#include <optional>
#include <string>

namespace corvane::testing {

// What a test may expect of the system it runs on. Each answer is the reason a test has to skip, or
// none when the system does what the test needs.

//! Taking its owner's read permission away makes a file unreadable to this process.
std::optional<std::string> without_unreadable_files();

}  // namespace corvane::testing
