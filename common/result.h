#pragma once
// Errors as values: a failed operation carries the exact text the user is shown.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace quenda {

struct Error {
  std::string message;
};

// Success, or an Error with its message.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design
  static Status Ok() { return {}; }

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  const std::string& message() const {
    static const std::string kNone;
    return error_ ? error_->message : kNone;
  }

 private:
  std::optional<Error> error_;
};

// A value, or an Error with its message.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}      // NOLINT: implicit by design
  Result(Error error) : state_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  const std::string& message() const {
    static const std::string kNone;
    return ok() ? kNone : std::get<1>(state_).message;
  }
  Status status() const { return ok() ? Status() : Status(std::get<1>(state_)); }

 private:
  std::variant<T, Error> state_;
};

}  // namespace quenda
