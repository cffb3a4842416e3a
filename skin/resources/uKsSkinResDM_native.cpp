// The built-in store linked into the program as plain bytes (the Windows
// build carries the same bytes as a resource instead).
#include "skin/resources/uKsSkinResDM.h"

#ifndef KS_SKIN_STORE_PATH
#error "KS_SKIN_STORE_PATH must name the packed image store"
#endif

// clang-format off
asm(".pushsection .rodata\n"
    ".balign 16\n"
    "ks_builtin_skin_store_begin:\n"
    ".incbin \"" KS_SKIN_STORE_PATH "\"\n"
    "ks_builtin_skin_store_end:\n"
    ".popsection\n");
// clang-format on

extern "C" const std::uint8_t ks_builtin_skin_store_begin[];
extern "C" const std::uint8_t ks_builtin_skin_store_end[];

namespace ks {

std::span<const std::uint8_t> BuiltInSkinStore() { return {ks_builtin_skin_store_begin, ks_builtin_skin_store_end}; }

}  // namespace ks
