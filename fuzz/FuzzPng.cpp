// libFuzzer target: PNG files.
#include "fuzz/FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ks::fuzz::RunDecoder(data, size,
                         [](auto bytes, auto& sink, const auto& limits) { ks::DecodePng(bytes, sink, limits); });
    return 0;
}
