#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace corvane::testing {

// Stands in for the engine's event loop: workers post tasks, the test thread runs them.
class PostQueue {
 public:
  void post(std::function<void()> task) {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    cv_.notify_all();
  }
  // Waits for one task (a generous 30 s, for loaded machines) and runs it here; false when none came.
  bool run_one() {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, std::chrono::seconds(30), [this] { return !tasks_.empty(); })) return false;
    auto task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task();
    return true;
  }
  std::size_t pending() {
    std::lock_guard lock(mutex_);
    return tasks_.size();
  }
  std::function<void(std::function<void()>)> poster() {
    return [this](std::function<void()> task) { post(std::move(task)); };
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace corvane::testing
