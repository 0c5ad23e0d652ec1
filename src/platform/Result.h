#pragma once

// Result<T> carries either a value or an error text. Failures in Kestrel are
// texts meant for the player (most of them Chinese), never exceptions, so every
// operation that can fail across a module boundary returns one of these.
//
// Threading: a plain value type; no shared state.

#include <optional>
#include <string>
#include <utility>

namespace kestrel {

// The error half of a Result: the text the launcher shows or prints.
struct Error {
    std::string text;
};

template <typename T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : error_(std::move(error.text)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    const T* operator->() const { return &*value_; }

    // The error text; empty when the result holds a value.
    const std::string& error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

// Status is a Result without a value: success, or an error text.
class Status {
public:
    Status() = default;
    Status(Error error) : error_(std::move(error.text)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return error_; }

private:
    std::string error_;
    bool failed_ = false;
};

}  // namespace kestrel
