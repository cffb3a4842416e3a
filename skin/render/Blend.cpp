// Binding of the per-pixel operators to the processor's capabilities.
#include "Blend.h"
#include "BlendSimd.h"
#include "Kernels.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if KS_PIXEL_X86 && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#endif

namespace ks {

extern const TBlendOps g_scalarBlendOps;

namespace detail {
const TBlendOps* g_boundBlendOps = &g_scalarBlendOps;
}  // namespace detail

namespace {

TPixelBinding g_binding = TPixelBinding::pbScalar;

#if KS_PIXEL_X86 && (defined(__GNUC__) || defined(__clang__))
struct TCpuFeatures {
    bool sse2 = false;
    bool avx2 = false;
};

TCpuFeatures DetectCpu()
{
    TCpuFeatures features;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return features;
    features.sse2 = (edx & (1u << 26)) != 0;
    const bool osxsave = (ecx & (1u << 27)) != 0;
    const bool avx = (ecx & (1u << 28)) != 0;
    if (!osxsave || !avx)
        return features;
    // The OS must save the XMM and YMM registers on a context switch.
    unsigned xcr0Low = 0, xcr0High = 0;
    __asm__ volatile("xgetbv" : "=a"(xcr0Low), "=d"(xcr0High) : "c"(0));
    if ((xcr0Low & 6u) != 6u)
        return features;
    if (__get_cpuid_max(0, nullptr) < 7)
        return features;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    features.avx2 = (ebx & (1u << 5)) != 0;
    return features;
}
#else
struct TCpuFeatures {
    bool sse2 = false;
    bool avx2 = false;
};
TCpuFeatures DetectCpu() { return {}; }
#endif

const TCpuFeatures& Cpu()
{
    static const TCpuFeatures features = DetectCpu();
    return features;
}

bool Supported(TPixelBinding binding)
{
    switch (binding) {
    case TPixelBinding::pbScalar:
        return true;
    case TPixelBinding::pbSse2:
        return KS_PIXEL_X86 && Cpu().sse2;
    case TPixelBinding::pbAvx2:
        return KS_PIXEL_X86 && Cpu().avx2;
    }
    return false;
}

TPixelBinding StartupBinding()
{
    std::string refusal;
    const TPixelBinding choice = ChooseStartupBinding(std::getenv("KS_PIXEL_BINDING"), Supported, refusal);
    if (!refusal.empty())
        std::fprintf(stderr, "%s\n", refusal.c_str());
    return choice;
}

// Binds at start-up, before main.
const bool g_boundAtStartup = SelectPixelBinding(StartupBinding());

}  // namespace

bool CpuHasSse2() { return Supported(TPixelBinding::pbSse2); }
bool CpuHasAvx2() { return Supported(TPixelBinding::pbAvx2); }

const TBlendOps& BlendOpsFor(TPixelBinding binding)
{
    switch (binding) {
    case TPixelBinding::pbSse2:
        return Sse2BlendOps();
    case TPixelBinding::pbAvx2:
        return Avx2BlendOps();
    case TPixelBinding::pbScalar:
        break;
    }
    return ScalarBlendOps();
}

bool SelectPixelBinding(TPixelBinding binding)
{
    if (!Supported(binding))
        return false;
    g_binding = binding;
    detail::g_boundBlendOps = &BlendOpsFor(binding);
    detail::g_boundKernels = &KernelsFor(binding);
    return true;
}

TPixelBinding CurrentPixelBinding()
{
    (void)g_boundAtStartup;
    return g_binding;
}

const char* PixelBindingName(TPixelBinding binding)
{
    switch (binding) {
    case TPixelBinding::pbScalar:
        return "scalar";
    case TPixelBinding::pbSse2:
        return "sse2";
    case TPixelBinding::pbAvx2:
        return "avx2";
    }
    return "?";
}

TPixelBinding ChooseStartupBinding(const char* forced, bool (*supported)(TPixelBinding), std::string& refusal)
{
    constexpr TPixelBinding kBestFirst[] = {TPixelBinding::pbAvx2, TPixelBinding::pbSse2, TPixelBinding::pbScalar};
    TPixelBinding best = TPixelBinding::pbScalar;
    for (TPixelBinding b : kBestFirst) {
        if (supported(b)) {
            best = b;
            break;
        }
    }
    refusal.clear();
    if (forced == nullptr)
        return best;
    for (TPixelBinding b : kBestFirst) {
        if (std::strcmp(forced, PixelBindingName(b)) != 0)
            continue;
        if (supported(b))
            return b;
        refusal = std::string("KS_PIXEL_BINDING=") + forced + " is not supported by this processor; using " +
                  PixelBindingName(best);
        return best;
    }
    refusal = std::string("KS_PIXEL_BINDING=") + forced + " is not a pixel binding (scalar, sse2, avx2); using " +
              PixelBindingName(best);
    return best;
}

std::vector<TPixelBinding> SupportedPixelBindings()
{
    std::vector<TPixelBinding> result;
    for (TPixelBinding b : {TPixelBinding::pbScalar, TPixelBinding::pbSse2, TPixelBinding::pbAvx2})
        if (Supported(b))
            result.push_back(b);
    return result;
}

}  // namespace ks
