#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "alerts/ini_file.h"

namespace corvane {

inline constexpr const char* kSettingsFileName = "set.ini";
inline constexpr const char* kAlertSection = "Alert";
// The device ID lives in section "arg"; it is written as "ARG" (names are not case-sensitive).
inline constexpr const char* kDeviceIdSection = "arg";
inline constexpr const char* kDeviceIdSectionWritten = "ARG";
inline constexpr const char* kDeviceIdKey = "id";
inline constexpr const char* kNoDeviceId = "@_NOSTR_";

inline constexpr int kReminderSlots = 12;
inline constexpr int kNoReminderHour = -1;
inline constexpr std::size_t kMaxMessageChars = 1000;

// Every key of section "Alert" as it stands in the file, before the alert rules interpret it. The
// settings page fills its controls from this and writes it back. Numbers default to 0, texts to empty,
// the twelve reminder hours to -1 (no hour chosen; a combo without a selection writes -1 back).
struct StoredAlertSettings {
  // Edits (signed integers).
  int lb_time1 = 0;       // left-click alert: hours (hidden on the page)
  int lb_time2 = 0;       // right-click alert: hours (hidden)
  int ab_time = 0;        // total-click alert: window in hours
  int lb_count1 = 0;      // left-click alert: count (hidden)
  int rb_count = 0;       // right-click alert: count (hidden)
  int ab_count = 0;       // total-click alert: more than this many clicks
  int move_time = 0;      // travel alert: window in hours
  int move_distance = 0;  // travel alert: more than this many metres
  int bpm = 0;            // heart-rate alert: above this many beats per minute
  // Check boxes (0 or 1 as written; any non-zero reads as on).
  int check_bt = 0;
  int check_move = 0;
  int check_bpm = 0;
  int check_msg1 = 0;
  int check_msg2 = 0;
  int check_alert_hr_opt = 0;
  int check_hr_hour = 0;
  int check_hr_everyday = 0;
  std::array<int, 7> check_hr_day{};  // Sunday .. Saturday
  int check_hr_msg = 0;
  // Texts, at most kMaxMessageChars characters each.
  std::string msg;
  std::string msg_hr;
  // Combo selections.
  int hr_hour_count = 0;  // 0: every hour; n: the first n of hr_hour
  std::array<int, kReminderSlots> hr_hour{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

  bool operator==(const StoredAlertSettings&) const = default;
};

StoredAlertSettings read_alert_settings(const IniFile& ini);
// Writes every key, numbers as "%d", without range tests; other content of the file stays.
void write_alert_settings(IniFile& ini, const StoredAlertSettings& settings);

// From and to "set.ini" in the data folder; a missing or unreadable file reads as all defaults.
StoredAlertSettings load_alert_settings_file(const std::filesystem::path& data_folder);
Result<void> save_alert_settings_file(const std::filesystem::path& data_folder,
                                      const StoredAlertSettings& settings);

// Cuts a UTF-8 text after `max_chars` characters without splitting one.
std::string truncate_utf8(std::string text, std::size_t max_chars);

}  // namespace corvane
