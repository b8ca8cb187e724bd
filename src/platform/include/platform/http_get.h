#pragma once

#include <chrono>
#include <string>

namespace corvane {

struct HttpGetRequest {
  std::string base_url;  // "http://host:port", no trailing path
  std::string path;      // already percent-encoded where needed, starting with '/'
  std::string agent = "User-Agent";
  std::chrono::milliseconds total_timeout{4000};  // name lookup, connect, send and read together
};

// The texts a GET gives back instead of a body, as the callers know them.
inline constexpr const char* kHttpOpenFailed = "err4";       // no connection or no answer
inline constexpr const char* kHttpEmptyBody = "err(len=0)";  // an answer without a body

// Sends one GET with the proxy settings of the environment and no cache, and returns the response body
// (whatever the status), or kHttpOpenFailed when no response arrived within the time limit, or
// kHttpEmptyBody when the body was empty. Blocks for at most `total_timeout` (plus a few ms);
// safe to call from any thread.
std::string http_get(const HttpGetRequest& request);

// Percent-encodes everything but the unreserved characters (letters, digits, "-._~"), so an arbitrary
// text can stand as one segment of a URL path.
std::string percent_encode(const std::string& text);

}  // namespace corvane
