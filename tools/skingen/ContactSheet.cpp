#include "tools/skingen/ContactSheet.h"

#include <stdexcept>

namespace ks::skingen {

RgbaImage BuildContactSheet(const std::string& folder)
{
    throw std::runtime_error(folder + ": contact sheet not built yet");
}

} // namespace ks::skingen
