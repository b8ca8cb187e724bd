#pragma once
// What the guards of both systems share: the close request's words, how a failed claim is reported,
// and how a close request counts down its time.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/instance_guard.h"

namespace corvane::guard_common {

using Clock = std::chrono::steady_clock;

// The close request and its answer, one line each.
constexpr std::string_view kCloseLine = "close";
constexpr std::string_view kCloseAnswer = "ok\n";
// A close request is six bytes; a peer that says more is not one of ours.
constexpr std::size_t kMostBytesFromAPeer = 256;
constexpr auto kRetryPause = std::chrono::milliseconds(20);

inline ClaimResult claim_failed(std::string message) {
  return {ClaimOutcome::Failed, nullptr, std::move(message)};
}

// The time left until `deadline`, for one wait: never negative, at most a minute.
inline std::int64_t milliseconds_until(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return std::clamp<std::int64_t>(left, 0, 60'000);
}

inline std::string seconds_text(std::chrono::milliseconds timeout) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(timeout.count()) / 1000.0);
  return text;
}

}  // namespace corvane::guard_common
