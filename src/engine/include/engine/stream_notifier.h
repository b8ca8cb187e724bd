#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "base/notifier.h"

namespace corvane {

// Headless mode has nobody to click OK: a message is one line "message: <text>" and counts as closed
// at once.
class StreamNotifier final : public Notifier {
 public:
  explicit StreamNotifier(std::ostream& out) : out_(out) {}

  void show_message(const std::string& text, std::function<void()> on_closed = {}) override {
    out_ << "message: " << text << '\n' << std::flush;
    if (on_closed) on_closed();
  }

 private:
  std::ostream& out_;
};

}  // namespace corvane
