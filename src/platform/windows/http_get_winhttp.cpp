#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/http_get.h"
#include "wide_text.h"

namespace corvane {
namespace {

using std::chrono::steady_clock;

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) WinHttpCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

// WinHTTP limits each step (resolve, connect, send, each receive) on its own; the caller's limit covers
// them together, so every step gets what is left of it.
class Deadline {
 public:
  explicit Deadline(std::chrono::milliseconds total) : end_(steady_clock::now() + total) {}
  int remaining_ms() const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - steady_clock::now());
    // 0 would mean "no limit" to WinHTTP.
    return static_cast<int>(std::max<std::int64_t>(left.count(), 1));
  }
  bool passed() const { return steady_clock::now() >= end_; }

 private:
  steady_clock::time_point end_;
};

bool limit_receiving(HINTERNET request, const Deadline& deadline) {
  DWORD ms = static_cast<DWORD>(deadline.remaining_ms());
  return WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms) &&
         WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &ms, sizeof ms);
}

}  // namespace

std::string http_get(const HttpGetRequest& request) {
  const Deadline deadline(request.total_timeout);
  const std::wstring url = widen(request.base_url + request.path);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  wchar_t host[256] = {};
  parts.lpszHostName = host;
  parts.dwHostNameLength = static_cast<DWORD>(std::size(host));
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return kHttpOpenFailed;
  const std::wstring path =
      std::wstring(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength) +
      std::wstring(parts.lpszExtraInfo ? parts.lpszExtraInfo : L"", parts.dwExtraInfoLength);

  // The system's proxy settings, as a browser on the machine would use them.
  const InternetHandle session(WinHttpOpen(widen(request.agent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return kHttpOpenFailed;
  const InternetHandle connection(WinHttpConnect(session.get(), host, parts.nPort, 0));
  if (!connection) return kHttpOpenFailed;
  const DWORD flags =
      WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  const InternetHandle handle(WinHttpOpenRequest(connection.get(), L"GET", path.empty() ? L"/" : path.c_str(),
                                                 nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                 flags));
  if (!handle) return kHttpOpenFailed;

  // Every limit is set on the request itself before anything is sent: the session's defaults let a
  // server that accepts the connection and never answers hold the request for half a minute or more.
  const int ms = deadline.remaining_ms();
  if (!WinHttpSetTimeouts(handle.get(), ms, ms, ms, ms) || !limit_receiving(handle.get(), deadline)) {
    return kHttpOpenFailed;
  }
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  WinHttpSetOption(handle.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);

  // Always ask the server itself, never a cache on the way.
  static const wchar_t kNoCache[] = L"Cache-Control: no-cache\r\nPragma: no-cache";
  if (!WinHttpSendRequest(handle.get(), kNoCache, static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0,
                          0) ||
      !limit_receiving(handle.get(), deadline) || !WinHttpReceiveResponse(handle.get(), nullptr)) {
    return kHttpOpenFailed;
  }

  std::string body;
  for (;;) {
    if (deadline.passed() || !limit_receiving(handle.get(), deadline)) break;
    char chunk[4096];
    DWORD got = 0;
    if (!WinHttpReadData(handle.get(), chunk, sizeof chunk, &got) || got == 0) break;
    body.append(chunk, got);
  }
  // A response arrived: its body, whatever the status, or what was read of it before the limit.
  if (body.empty()) return kHttpEmptyBody;
  return body;
}

}  // namespace corvane
