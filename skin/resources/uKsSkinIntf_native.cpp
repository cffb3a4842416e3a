// The host build's side of the picture references: failures the skin catches
// are written to stderr, as the Windows programs' default report does.
#include "skin/resources/uKsSkinIntf.h"

#include <cstdio>

namespace ks {

void ReportSkinFailure(std::exception_ptr error) noexcept
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Unhandled exception: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Unhandled exception of unknown type\n");
    }
}

}  // namespace ks
