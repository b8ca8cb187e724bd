#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace corvane::testing {

// An HTTP server on 127.0.0.1 for tests: one thread, one connection at a time, a canned response per
// path (the fallback for any other), and every request's target and User-Agent recorded. A silent one
// accepts connections and reads the requests but never answers, like a server that hangs.
class LoopbackHttpServer {
 public:
  struct Response {
    int status = 200;
    std::string body;
  };
  enum class Behaviour { Answer, AcceptAndStaySilent };

  explicit LoopbackHttpServer(std::map<std::string, Response> responses = {}, Response fallback = {200, "ok"},
                              Behaviour behaviour = Behaviour::Answer);
  static LoopbackHttpServer silent() { return LoopbackHttpServer({}, {}, Behaviour::AcceptAndStaySilent); }
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> targets() const;
  std::vector<std::string> agents() const;

 private:
  void serve();
  void handle(std::intptr_t connection);

  std::map<std::string, Response> responses_;
  Response fallback_;
  Behaviour behaviour_;
  std::intptr_t listener_ = -1;
  int port_ = 0;
  std::vector<std::intptr_t> held_;  // a silent server's connections, closed at the end
  mutable std::mutex mutex_;
  std::vector<std::string> targets_, agents_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

//! A loopback port that nobody listens on (one that was free a moment ago).
std::string closed_port_url();

}  // namespace corvane::testing
