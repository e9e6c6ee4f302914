#pragma once
// How output/ reports what went wrong: the number and description that the error message
// shows. Nothing here throws.
#include <QString>
#include <optional>
#include <utility>
#include <variant>

struct Failure {
    int number = 0;
    QString description;
};

namespace ErrorNumber {
enum : int {
    OutOfMemory = 7,
    UnsupportedExtension = 9, // subscript out of range: no format for that extension
    DiskFull = 61,
    FileAccess = 75,
    InvalidPicture = 481,
};
} // namespace ErrorNumber

// A value, or the failure that kept it from being made.
template <class T> class Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Failure failure) : v_(std::move(failure)) {}
    bool ok() const { return v_.index() == 0; }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    const Failure& failure() const { return std::get<1>(v_); }

private:
    std::variant<T, Failure> v_;
};

// Done, or the failure that stopped it.
class Status {
public:
    Status() = default;
    Status(Failure failure) : failure_(std::move(failure)) {}
    bool ok() const { return !failure_; }
    const Failure& failure() const { return *failure_; }

private:
    std::optional<Failure> failure_;
};
