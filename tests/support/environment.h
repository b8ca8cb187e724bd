#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace corvane::testing {

void set_environment(const std::string& name, const std::string& value);
void unset_environment(const std::string& name);

// Sets (or, with no value, removes) one environment variable and puts the old state back at the end.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    value ? set_environment(name_, *value) : unset_environment(name_);
  }
  ~ScopedEnvironment() { old_ ? set_environment(name_, *old_) : unset_environment(name_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace corvane::testing
