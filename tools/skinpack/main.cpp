// ks_skinpack <manifest.txt> <output.bin>
//
// Packs the built-in skin images listed in the manifest (PNG files beside it)
// into the component stream of the image store.
#include "tools/skinpack/SkinPack.h"

#include <cstdio>
#include <exception>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: ks_skinpack <manifest.txt> <output.bin>\n", stderr);
        return 2;
    }
    try {
        const std::vector<std::uint8_t> stream = ks::skinpack::WriteImageStore(ks::skinpack::LoadImages(argv[1]));
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "ks_skinpack: %s: cannot write the file\n", argv[2]);
            std::remove(argv[2]);
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ks_skinpack: %s\n", e.what());
        return 1;
    }
}
