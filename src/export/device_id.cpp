#include "export/device_id.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string_view>
#include <system_error>

#include "alerts/ini_file.h"
#include "alerts/settings_file.h"
#include "platform/http_get.h"

namespace corvane {

std::string make_device_id() {
  std::random_device source;
  std::uniform_int_distribution<int> digit(0, 9);
  std::string id;
  for (int i = 0; i < 16; ++i)
    id.push_back(static_cast<char>('0' + digit(source)));
  return id;
}

Result<void> check_device_id_for_upload(const std::string& id) {
  if (id.empty()) return fail("the device ID is empty");
  // The message shows the ID, its odd bytes escaped and a long one cut short.
  std::string shown;
  bool printable = true;
  for (const char c : std::string_view(id).substr(0, kLongestDeviceId)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown += c;
      continue;
    }
    printable = false;
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    shown += escaped;
  }
  const std::string named = "the device ID \"" + shown + (id.size() > kLongestDeviceId ? "...\" " : "\" ");
  if (id.size() > kLongestDeviceId)
    return fail(named + "is longer than " + std::to_string(kLongestDeviceId) + " characters");
  if (!printable) return fail(named + "holds a character that is not printable");
  if (id.front() == '-')
    return fail(named + "begins with \"-\", which the upload tool would take for an option");
  return {};
}

std::string registration_base_url() {
  const char* override_url = std::getenv(kRegistrationUrlVariable);
  std::string url = override_url && *override_url ? override_url : kRegistrationBaseUrl;
  while (!url.empty() && url.back() == '/')
    url.pop_back();
  return url;
}

std::string registration_path(const std::string& id) {
  return "/mouse/:" + percent_encode(id) + "/unique";
}

RegistrationRequest::RegistrationRequest(std::string base_url, std::string id,
                                         std::chrono::milliseconds bound) {
  HttpGetRequest request;
  request.base_url = std::move(base_url);
  request.path = registration_path(id);
  request.total_timeout = bound;
  try {
    thread_ = std::thread([this, request] { result_ = http_get(request); });
  } catch (const std::system_error&) {
    result_ = kHttpOpenFailed;  // no thread to ask on: answered as a request that got no response
  }
}

RegistrationRequest::~RegistrationRequest() {
  if (thread_.joinable()) thread_.join();
}

const std::string& RegistrationRequest::wait() {
  if (thread_.joinable()) thread_.join();
  return result_;
}

DeviceIdStartup read_or_create_device_id(const std::filesystem::path& data_folder) {
  const std::filesystem::path file = data_folder / kSettingsFileName;
  DeviceIdStartup startup;
  // Read and, when needed, store in one load-edit-save, so a second start in this process reads the ID
  // the first one stored.
  const Result<void> written = update_profile(file, [&](IniFile& ini) {
    startup.id = ini.get_string(kDeviceIdSection, kDeviceIdKey, kNoDeviceId);
    if (startup.id != kNoDeviceId) return false;
    startup.id = make_device_id();
    startup.created = true;
    // A stale "arg" section is reused (names compare without case); otherwise "ARG" is appended.
    ini.set_string(kDeviceIdSectionWritten, kDeviceIdKey, startup.id);
    return true;
  });
  if (!startup.created) return startup;
  startup.stored = written;
  // An ID that could not be kept would be made and announced anew at every start; announce only kept IDs.
  if (!written) return startup;
  startup.registration = std::make_unique<RegistrationRequest>(registration_base_url(), startup.id);
  return startup;
}

}  // namespace corvane
