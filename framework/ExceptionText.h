// The one wording of an exception that reaches a boundary, for the Windows
// report and the host build's alike: "Unhandled exception: <what>" and a
// newline.
#pragma once

#include <exception>

namespace fw {

using TExceptionLineWriter = void (*)(const char* line);

// Passes the line for error to write. Never throws: an exception of no
// standard type, or one whose text cannot be copied, gets a fixed line.
void WriteExceptionLine(std::exception_ptr error, TExceptionLineWriter write) noexcept;

}  // namespace fw
