// The host build's side of the picture references: failures the skin catches
// are written to stderr, as the Windows programs' default report does.
#include "skin/resources/uKsSkinIntf.h"

#include "framework/ExceptionText.h"

#include <cstdio>

namespace ks {

void ReportSkinFailure(std::exception_ptr error) noexcept
{
    fw::WriteExceptionLine(error, [](const char* line) { std::fputs(line, stderr); });
}

}  // namespace ks
