#pragma once

#include <string>
#include <utility>
#include <variant>

namespace corvane {

// Why an operation failed, in words fit for the user: what was attempted, on what, and the system's
// reason ("cannot write /home/a/Corvane/20261208.txt: No space left on device").
struct Error {
  std::string message;
};

//! Shorthand for returning a failure from a function that returns any Result.
inline Error fail(std::string message) {
  return Error{std::move(message)};
}

// What an operation that can fail returns: its value, or the error that says why there is none (an Error,
// or a richer type where the caller must tell failures apart). Shaped like std::expected<T, E>, which it
// can become once the project moves to C++23.
template <typename T, typename E = Error>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  //! Only when !has_value().
  const E& error() const { return std::get<1>(state_); }

  template <typename U>
  T value_or(U&& fallback) const& {
    return has_value() ? value() : static_cast<T>(std::forward<U>(fallback));
  }
  //! Equal to a plain value only when it holds one equal to it (as std::expected compares).
  template <typename U>
  friend bool operator==(const Result& r, const U& v) {
    return r.has_value() && r.value() == v;
  }

 private:
  std::variant<T, E> state_;
};

// An operation that yields nothing but can fail.
template <typename E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;
  Result(E error) : error_(std::move(error)), failed_(true) {}

  bool has_value() const { return !failed_; }
  explicit operator bool() const { return has_value(); }
  //! Only when !has_value().
  const E& error() const { return error_; }

 private:
  E error_{};
  bool failed_ = false;
};

}  // namespace corvane
