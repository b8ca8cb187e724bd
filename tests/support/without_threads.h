#pragma once

#include <functional>

namespace corvane::testing {

// Exit codes of run_without_threads that are not the body's.
inline constexpr int kCannotBlockThreads = 92;

// Runs `body` in a forked child that cannot start a thread: its user's process limit is 0 (a root child
// first becomes "nobody", since root is exempt from the limit). Returns the body's result, 128 + the
// signal when the child died of one (an uncaught exception ends in SIGABRT), or kCannotBlockThreads when
// this machine would not refuse the child a thread. The child leaves with _exit, skipping exit handlers.
int run_without_threads(const std::function<int()>& body);

}  // namespace corvane::testing
