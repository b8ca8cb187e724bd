#include "alerts/settings_file.h"

#include <utility>
#include <vector>

namespace corvane {
namespace {

using IntMember = int StoredAlertSettings::*;

// The number-valued keys in the order the page writes them.
const std::vector<std::pair<const char*, IntMember>>& plain_int_keys() {
  static const std::vector<std::pair<const char*, IntMember>> keys = {
      {"lb_time1", &StoredAlertSettings::lb_time1},
      {"lb_time2", &StoredAlertSettings::lb_time2},
      {"ab_time", &StoredAlertSettings::ab_time},
      {"lb_count1", &StoredAlertSettings::lb_count1},
      {"rb_count", &StoredAlertSettings::rb_count},
      {"ab_count", &StoredAlertSettings::ab_count},
      {"move_time", &StoredAlertSettings::move_time},
      {"move_distance", &StoredAlertSettings::move_distance},
      {"bpm", &StoredAlertSettings::bpm},
      {"check_bt", &StoredAlertSettings::check_bt},
      {"check_move", &StoredAlertSettings::check_move},
      {"check_bpm", &StoredAlertSettings::check_bpm},
      {"check_msg1", &StoredAlertSettings::check_msg1},
      {"check_msg2", &StoredAlertSettings::check_msg2},
      {"check_alert_hr_opt", &StoredAlertSettings::check_alert_hr_opt},
      {"check_hr_hour", &StoredAlertSettings::check_hr_hour},
      {"check_hr_everyday", &StoredAlertSettings::check_hr_everyday},
      {"check_hr_msg", &StoredAlertSettings::check_hr_msg},
      {"hr_hour_count", &StoredAlertSettings::hr_hour_count},
  };
  return keys;
}

std::string day_key(int d) {
  return "check_hr_day" + std::to_string(d);
}
std::string hour_key(int n) {
  return "hr_hour" + std::to_string(n);
}

}  // namespace

std::string truncate_utf8(std::string text, std::size_t max_chars) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte belongs to the character before
    if (chars == max_chars) {
      text.resize(i);
      break;
    }
    ++chars;
  }
  return text;
}

StoredAlertSettings read_alert_settings(const IniFile& ini) {
  StoredAlertSettings s;
  for (const auto& [key, member] : plain_int_keys())
    s.*member = ini.get_int(kAlertSection, key, s.*member);
  for (int d = 0; d < 7; ++d)
    s.check_hr_day[d] = ini.get_int(kAlertSection, day_key(d), 0);
  for (int n = 1; n <= kReminderSlots; ++n)
    s.hr_hour[n - 1] = ini.get_int(kAlertSection, hour_key(n), kNoReminderHour);
  s.msg = truncate_utf8(ini.get_string(kAlertSection, "msg", ""), kMaxMessageChars);
  s.msg_hr = truncate_utf8(ini.get_string(kAlertSection, "msg_hr", ""), kMaxMessageChars);
  return s;
}

void write_alert_settings(IniFile& ini, const StoredAlertSettings& s) {
  for (const auto& [key, member] : plain_int_keys())
    ini.set_int(kAlertSection, key, s.*member);
  for (int d = 0; d < 7; ++d)
    ini.set_int(kAlertSection, day_key(d), s.check_hr_day[d]);
  for (int n = 1; n <= kReminderSlots; ++n)
    ini.set_int(kAlertSection, hour_key(n), s.hr_hour[n - 1]);
  ini.set_string(kAlertSection, "msg", truncate_utf8(s.msg, kMaxMessageChars));
  ini.set_string(kAlertSection, "msg_hr", truncate_utf8(s.msg_hr, kMaxMessageChars));
}

StoredAlertSettings load_alert_settings_file(const std::filesystem::path& data_folder) {
  return read_alert_settings(IniFile::load(data_folder / kSettingsFileName));
}

Result<void> save_alert_settings_file(const std::filesystem::path& data_folder,
                                      const StoredAlertSettings& settings) {
  return update_profile(data_folder / kSettingsFileName,
                        [&](IniFile& ini) { write_alert_settings(ini, settings); });
}

}  // namespace corvane
