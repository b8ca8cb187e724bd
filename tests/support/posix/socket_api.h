#pragma once

// BSD sockets as the loopback server uses them; windows/socket_api.h says the same for Winsock.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace corvane::testing::sockets {

using Handle = int;
inline constexpr Handle kNone = -1;
using Length = socklen_t;

inline void start() {}
inline void close(Handle h) {
  ::close(h);
}

}  // namespace corvane::testing::sockets
