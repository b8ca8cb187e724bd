#include "support/loopback_http.h"

#include <chrono>

#include "socket_api.h"

namespace corvane::testing {
namespace {

using sockets::Handle;

Handle as_handle(std::intptr_t value) {
  return static_cast<Handle>(value);
}

// Waits up to `ms` for `h` to be readable (a connection to accept, or data).
bool readable(Handle h, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(h, &set);
  timeval timeout{0, ms * 1000};
  return ::select(static_cast<int>(h) + 1, &set, nullptr, nullptr, &timeout) > 0;
}

std::string header_value(const std::string& request, const std::string& name) {
  const std::string key = "\r\n" + name + ":";
  const std::size_t at = request.find(key);
  if (at == std::string::npos) return {};
  std::size_t begin = at + key.size();
  while (begin < request.size() && request[begin] == ' ')
    ++begin;
  return request.substr(begin, request.find("\r\n", begin) - begin);
}

std::string reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 404:
      return "Not Found";
    default:
      return "Status";
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::map<std::string, Response> responses, Response fallback,
                                       Behaviour behaviour)
    : responses_(std::move(responses)), fallback_(std::move(fallback)), behaviour_(behaviour) {
  sockets::start();
  const Handle listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::listen(listener, 16);
  sockets::Length length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  listener_ = static_cast<std::intptr_t>(listener);
  thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  thread_.join();
  for (std::intptr_t connection : held_)
    sockets::close(as_handle(connection));
  sockets::close(as_handle(listener_));
}

std::vector<std::string> LoopbackHttpServer::targets() const {
  std::lock_guard lock(mutex_);
  return targets_;
}

std::vector<std::string> LoopbackHttpServer::agents() const {
  std::lock_guard lock(mutex_);
  return agents_;
}

void LoopbackHttpServer::serve() {
  // Short waits, so that the end of the test stops the thread soon.
  while (!stopping_) {
    if (!readable(as_handle(listener_), 20)) continue;
    const Handle connection = ::accept(as_handle(listener_), nullptr, nullptr);
    if (connection == sockets::kNone) continue;
    handle(static_cast<std::intptr_t>(connection));
  }
}

void LoopbackHttpServer::handle(std::intptr_t value) {
  const Handle connection = as_handle(value);
  std::string request;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (request.find("\r\n\r\n") == std::string::npos && !stopping_ &&
         std::chrono::steady_clock::now() < give_up) {
    if (!readable(connection, 20)) continue;
    char chunk[1024];
    const auto got = ::recv(connection, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<std::size_t>(got));
  }
  const std::size_t target_begin = request.find(' ') + 1;
  const std::string target = request.substr(target_begin, request.find(' ', target_begin) - target_begin);
  {
    std::lock_guard lock(mutex_);
    targets_.push_back(target);
    agents_.push_back(header_value(request, "User-Agent"));
  }
  if (behaviour_ == Behaviour::AcceptAndStaySilent) {
    held_.push_back(value);
    return;
  }
  const auto found = responses_.find(target);
  const Response& response = found == responses_.end() ? fallback_ : found->second;
  const std::string answer =
      "HTTP/1.1 " + std::to_string(response.status) + " " + reason(response.status) +
      "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(response.body.size()) +
      "\r\nConnection: close\r\n\r\n" + response.body;
  ::send(connection, answer.data(), static_cast<int>(answer.size()), 0);
  sockets::close(connection);
}

std::string closed_port_url() {
  LoopbackHttpServer probe;
  return probe.url();  // closed again when `probe` goes
}

}  // namespace corvane::testing
