// A value or the reason there is none. Failures cross layer boundaries as values.
#pragma once
#include <optional>
#include <string>
#include <utility>

namespace orlo {

template <class T>
class Result {
  public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
    static Result Fail(std::string why) {
        Result r;
        r.error_ = std::move(why);
        return r;
    }
    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_; }

  private:
    Result() = default;
    std::optional<T> value_;
    std::string error_;
};

}  // namespace orlo
