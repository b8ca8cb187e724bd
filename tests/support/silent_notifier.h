#pragma once

#include <functional>
#include <string>

#include "base/notifier.h"

namespace corvane::testing {

// Drops every message and closes its box at once: for benchmarks and runs where nobody reads them.
class SilentNotifier final : public Notifier {
 public:
  void show_message(const std::string&, std::function<void()> on_closed = {}) override {
    if (on_closed) on_closed();
  }
};

}  // namespace corvane::testing
