#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/notifier.h"

namespace corvane::testing {

// Keeps every message instead of showing it; boxes close at once unless `keep_open` is set, in which
// case the test closes them with close_all().
class RecordingNotifier final : public Notifier {
 public:
  void show_message(const std::string& text, std::function<void()> on_closed = {}) override {
    messages.push_back(text);
    if (keep_open) {
      pending.push_back(std::move(on_closed));
    } else if (on_closed) {
      on_closed();
    }
  }
  void close_all() {
    auto closing = std::move(pending);
    pending.clear();
    for (auto& f : closing)
      if (f) f();
  }

  std::vector<std::string> messages;
  std::vector<std::function<void()>> pending;
  bool keep_open = false;
};

}  // namespace corvane::testing
