// The one place where an exception caught at a boundary is reported.
//
// No exception crosses a window procedure, a timer, a hook or a system
// callback: each of them is noexcept, catches at its boundary and calls
// ReportException, then carries on. ReportException hands the error to the
// application's OnException event when the program has one; otherwise (and
// when that handler fails in turn) WriteException writes it to the debugger
// output and to stderr.
#pragma once

#include <exception>
#include <utility>

namespace fw {

void ReportException(std::exception_ptr error) noexcept;

// Writes "Unhandled exception: <what>" to the debugger output and stderr.
void WriteException(std::exception_ptr error) noexcept;

// Hook for the application object: what ReportException passes the error to.
using TExceptionSink = void (*)(std::exception_ptr) noexcept;
void SetExceptionSink(TExceptionSink sink) noexcept;

// Runs body and reports what it throws; for the bodies of callbacks.
template <class Body>
void ReportingExceptions(Body&& body) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (...) {
        ReportException(std::current_exception());
    }
}

}  // namespace fw
