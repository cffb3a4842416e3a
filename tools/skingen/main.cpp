// ks_skingen: draws the built-in skin images.
//
//   ks_skingen <folder>
//       writes the 85 images as <ResID>.png and manifest.txt (one line per
//       image in stored order: "<ResID> <width> <height> <dmBlend|dmOpaque>")
//   ks_skingen --contact-sheet <folder> <output.png>
//       lays out every image named by <folder>/manifest.txt on one sheet
//   ks_skingen --leaf-background <output.jpg>
//       draws the default form background picture
#include "tools/skingen/ContactSheet.h"
#include "tools/skingen/LeafBackground.h"
#include "tools/skingen/PngFile.h"
#include "tools/skingen/SkinImages.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace {

using namespace ks::skingen;

void GenerateAll(const std::string& folder)
{
    std::string manifest;
    for (const SkinImageRecipe& recipe : SkinImageTable()) {
        WritePng(folder + "/" + recipe.id + ".png", RenderSkinImage(recipe));
        manifest += std::string(recipe.id) + " " + std::to_string(recipe.width) + " " + std::to_string(recipe.height) +
                    (recipe.opaque ? " dmOpaque\n" : " dmBlend\n");
    }
    const std::string path = folder + "/manifest.txt";
    std::ofstream out(path, std::ios::binary);
    out << manifest;
    out.close();
    if (!out)
        throw std::runtime_error(path + ": cannot write the file");
}

int Usage()
{
    std::fputs("usage: ks_skingen <folder>\n"
               "       ks_skingen --contact-sheet <folder> <output.png>\n"
               "       ks_skingen --leaf-background <output.jpg>\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const std::string first = argc > 1 ? argv[1] : "";
        if (first == "--contact-sheet") {
            if (argc != 4)
                return Usage();
            WritePng(argv[3], BuildContactSheet(argv[2]));
            return 0;
        }
        if (first == "--leaf-background") {
            if (argc != 3)
                return Usage();
            WriteJpeg(argv[2], RenderLeafBackground(), 88);
            return 0;
        }
        if (argc != 2 || first.empty() || first[0] == '-')
            return Usage();
        GenerateAll(first);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ks_skingen: %s\n", e.what());
        return 1;
    }
}
