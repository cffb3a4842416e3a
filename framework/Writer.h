// Writing stored layouts: the inverse of Reader.h. Only published values
// that differ from their declared defaults are written.
#pragma once

#include <cstdint>
#include <vector>

#include "Classes.h"

namespace fw {

// "TPF0", root record (class name, name, properties), the records of the
// components root->GetChildren lists (nested by GetChildren of each), and
// the end markers.
std::vector<std::uint8_t> WriteComponentStream(TComponent& root);

}  // namespace fw
