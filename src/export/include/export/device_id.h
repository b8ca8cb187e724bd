#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/atomic_file.h"

namespace corvane {

// Where the registration request goes unless CORVANE_REGISTRATION_URL ("http://host:port") says otherwise.
inline constexpr const char* kRegistrationBaseUrl = "http://register.corvane.jp:80";
inline constexpr const char* kRegistrationUrlVariable = "CORVANE_REGISTRATION_URL";
// The whole request (name lookup, connect, send, answer) never takes longer than this.
inline constexpr std::chrono::milliseconds kRegistrationBound{4000};

// 16 decimal digits drawn from the operating system's random source.
std::string make_device_id();

// The longest ID handed to the upload tool; ours are 16 digits, so anything near this was edited by hand.
inline constexpr std::size_t kLongestDeviceId = 64;

// Whether an ID may go on the upload tool's command line: printable ASCII (a NUL would cut the argument,
// a control character could confuse the tool), not starting with "-" (the tool would read an option) and
// at most kLongestDeviceId characters. The failure says why, showing the ID with its odd bytes escaped.
Result<void> check_device_id_for_upload(const std::string& id);

// The registration server's base URL: the environment override when set and non-empty, else the constant.
std::string registration_base_url();
// "/mouse/:<id>/unique" with the ID percent-encoded, so a hand-edited ID cannot change the path.
std::string registration_path(const std::string& id);

// One registration GET running on a thread of its own so start-up never waits on the network. The answer
// is not examined; wait() gives the body, "err4" or "err(len=0)" for logs. The destructor waits for the
// request, which is bounded by kRegistrationBound. Only the request thread writes result_, and the
// owner's thread reads it after joining that thread, so no lock is needed.
class RegistrationRequest final {
 public:
  RegistrationRequest(std::string base_url, std::string id,
                      std::chrono::milliseconds bound = kRegistrationBound);
  ~RegistrationRequest();
  RegistrationRequest(const RegistrationRequest&) = delete;
  RegistrationRequest& operator=(const RegistrationRequest&) = delete;

  //! Blocks until the request has ended; returns its result text.
  const std::string& wait();

 private:
  std::string result_;
  std::thread thread_;
};

struct DeviceIdStartup {
  std::string id;
  bool created = false;
  Result<void> stored;  // whether a new ID reached "set.ini" (a success when nothing had to be stored)
  std::unique_ptr<RegistrationRequest> registration;  // set when a new ID is being announced
};

// Reads the device ID from section "arg" of the data folder's "set.ini". When there is none yet, creates
// one, stores it in section "ARG" first (so the request is sent once per data folder whatever happens
// to it), then starts the registration request in the background and returns at once. When the ID
// cannot be stored, it is used for this run but not announced (`stored` says why).
DeviceIdStartup read_or_create_device_id(const std::filesystem::path& data_folder);

}  // namespace corvane
