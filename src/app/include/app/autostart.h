#pragma once

#include <filesystem>
#include <string>

#include "platform/atomic_file.h"

namespace corvane {

// Starting with the desktop session: an XDG autostart entry that runs the program hidden ("/hide"), so
// that it lands in the tray after login. The tray menu switches it on and off.

//! $XDG_CONFIG_HOME/autostart/corvane.desktop (or ~/.config/autostart/corvane.desktop).
std::filesystem::path autostart_entry_path();

//! The desktop entry that starts `program` hidden; the path is quoted as the entry format asks.
std::string autostart_entry(const std::string& program);

bool autostart_enabled(const std::filesystem::path& entry = autostart_entry_path());

//! Writes the entry (creating the folder) or removes it.
Result<void> set_autostart(bool enabled, const std::string& program,
                           const std::filesystem::path& entry = autostart_entry_path());

}  // namespace corvane
