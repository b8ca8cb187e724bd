#pragma once

// Winsock as the loopback server uses it; posix/socket_api.h says the same for BSD sockets.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <mutex>

namespace corvane::testing::sockets {

using Handle = SOCKET;
inline constexpr Handle kNone = INVALID_SOCKET;
using Length = int;

// Winsock wants to be started once per process before the first socket.
inline void start() {
  static std::once_flag once;
  std::call_once(once, [] {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  });
}
inline void close(Handle h) {
  ::closesocket(h);
}

}  // namespace corvane::testing::sockets
