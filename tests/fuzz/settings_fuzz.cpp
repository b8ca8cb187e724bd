// set.ini is edited by hand and written by the Windows build as well: any text must read, and settings
// written into it must read back as written whatever else the file holds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "alerts/ini_file.h"
#include "alerts/settings_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  corvane::IniFile ini = corvane::IniFile::parse(text);
  const corvane::StoredAlertSettings settings = corvane::read_alert_settings(ini);
  (void)ini.get_string(corvane::kDeviceIdSection, corvane::kDeviceIdKey, corvane::kNoDeviceId);

  corvane::write_alert_settings(ini, settings);
  const corvane::IniFile reread = corvane::IniFile::parse(ini.text());
  // A line break cannot stand in a value: a lone CR that a hand edit left inside a message is written
  // as a blank, like any other line break.
  corvane::StoredAlertSettings expected = settings;
  std::replace(expected.msg.begin(), expected.msg.end(), '\r', ' ');
  std::replace(expected.msg_hr.begin(), expected.msg_hr.end(), '\r', ' ');
  FUZZ_CHECK(corvane::read_alert_settings(reread) == expected);

  // A value of any bytes (the device ID is typed by hand) reads back as given once quoting and line
  // breaks are accounted for.
  std::string value(text.substr(0, text.find('\n')));
  std::replace(value.begin(), value.end(), '\r', ' ');
  ini.set_string(corvane::kDeviceIdSectionWritten, corvane::kDeviceIdKey, value);
  const corvane::IniFile with_id = corvane::IniFile::parse(ini.text());
  FUZZ_CHECK(with_id.get_string(corvane::kDeviceIdSection, corvane::kDeviceIdKey, "") == value);
  return 0;
}
