// Shared by the SIMD bindings: whether this build targets x86.
#pragma once

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#define KS_PIXEL_X86 1
#else
#define KS_PIXEL_X86 0
#endif
