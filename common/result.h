#pragma once
// Errors as values: a failed operation carries the exact text the user is shown.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace quenda {

// Nearly every caller only shows the message. The few that must also act differently on the
// cause of a failed write (a frame that cannot be created stops a render, a short one does not)
// read the kind, which the atomic writer sets (common/atomic_file.h).
enum class ErrorKind {
  Other,
  CannotCreate,
  ShortWrite,
};

struct Error {
  std::string message;
  ErrorKind kind = ErrorKind::Other;
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
  ErrorKind kind() const { return error_ ? error_->kind : ErrorKind::Other; }

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
