#include <curl/curl.h>

#include <mutex>

#include "platform/http_get.h"

namespace corvane {
namespace {

// curl_global_init is not thread-safe in older libcurl releases; do it once, before the first handle.
void init_curl_once() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::size_t append_body(char* data, std::size_t size, std::size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

}  // namespace

std::string http_get(const HttpGetRequest& request) {
  init_curl_once();
  CURL* curl = curl_easy_init();
  if (!curl) return kHttpOpenFailed;

  const std::string url = request.base_url + request.path;
  std::string body;
  const long total_ms = static_cast<long>(request.total_timeout.count());
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, request.agent.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, total_ms);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, total_ms);
  // Timeouts through signals do not mix with threads; the threaded resolver honours the limit anyway.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, append_body);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  // Always ask the server itself, never a cache on the way.
  curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
  headers = curl_slist_append(headers, "Pragma: no-cache");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

  const CURLcode rc = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);

  if (rc != CURLE_OK && status == 0 && body.empty()) return kHttpOpenFailed;
  if (body.empty()) return kHttpEmptyBody;
  return body;
}

}  // namespace corvane
