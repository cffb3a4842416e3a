#include "framework/ReportException_win.h"

#include "framework/ExceptionText.h"
#include "framework/Messages_win.h"

#include <cstdio>

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
    WriteExceptionLine(error, [](const char* line) {
        ::OutputDebugStringA(line);
        std::fputs(line, stderr);
    });
}

}  // namespace fw
