#include "framework/ReportException_win.h"

#include "framework/Messages_win.h"

#include <cstdio>
#include <string>

namespace fw {

namespace {
TExceptionSink g_exceptionSink = nullptr;
}  // namespace

void SetExceptionSink(TExceptionSink sink) noexcept { g_exceptionSink = sink; }

void ReportException(std::exception_ptr error) noexcept
{
    if (g_exceptionSink) {
        g_exceptionSink(error);
        return;
    }
    WriteException(error);
}

void WriteException(std::exception_ptr error) noexcept
{
    const char* text = "Unhandled exception of unknown type\n";
    std::string line;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        try {
            line = std::string("Unhandled exception: ") + e.what() + "\n";
            text = line.c_str();
        } catch (...) {
            text = "Unhandled exception (its text could not be copied)\n";
        }
    } catch (...) {
    }
    ::OutputDebugStringA(text);
    std::fputs(text, stderr);
}

}  // namespace fw
