#include "Color32.h"

#include <windows.h>

namespace ks {

std::uint32_t SystemColorRGB(int index) { return static_cast<std::uint32_t>(GetSysColor(index)); }

}  // namespace ks
