#pragma once

#include <cassert>
#include <concepts>
#include <optional>
#include <utility>

#include "text/fault.h"

// A step the user stopped: it says nothing, since a cancel is no fault.
struct Cancelled {};

template <typename T = void>
class Result;

// How a step ended: done, cancelled by the user, or stopped by a fault that says why. Every
// reader, every writer and the run report in this one shape; a step that makes something
// carries it in Result<T>.
template <>
class Result<void> {
public:
    enum class Ending { Done, Cancelled, Fault };

    // Done.
    Result() = default;
    // Stopped by the fault.
    Result(Fault fault) : ending_(Ending::Fault), fault_(std::move(fault)) {}  // NOLINT
    Result(Cancelled) : ending_(Ending::Cancelled) {}                          // NOLINT

    Ending ending() const { return ending_; }
    bool done() const { return ending_ == Ending::Done; }
    bool cancelled() const { return ending_ == Ending::Cancelled; }
    bool faulted() const { return ending_ == Ending::Fault; }
    // Why the step stopped; empty unless it faulted.
    const Fault& fault() const { return fault_; }

    bool operator==(const Result&) const = default;

private:
    Ending ending_ = Ending::Done;
    Fault fault_;
};

// What a done Result<T> is made from: anything a T is made from, but no other result.
template <typename U, typename T>
concept ResultValue =
    std::constructible_from<T, U&&> && !std::derived_from<std::remove_cvref_t<U>, Result<void>>;

// A step that makes a T: done with it, or cancelled, or stopped by a fault, without one.
template <typename T>
class Result : public Result<void> {
public:
    // Done, with what the step made.
    template <ResultValue<T> U>
    Result(U&& value) : value_(std::forward<U>(value)) {}    // NOLINT
    Result(Fault fault) : Result<void>(std::move(fault)) {}  // NOLINT
    Result(Cancelled cancel) : Result<void>(cancel) {}       // NOLINT
    // Another step's cancel or fault, passed on; never a done one, which has nothing to give.
    Result(const Result<void>& notDone) : Result<void>(notDone) {  // NOLINT
        assert(!notDone.done());
    }

    T& value() { return *value_; }
    const T& value() const { return *value_; }
    // What the step made, moved out.
    T take() { return std::move(*value_); }

private:
    std::optional<T> value_;
};
