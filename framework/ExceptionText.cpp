#include "framework/ExceptionText.h"

#include <string>

namespace fw {

void WriteExceptionLine(std::exception_ptr error, TExceptionLineWriter write) noexcept
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
    write(text);
}

}  // namespace fw
