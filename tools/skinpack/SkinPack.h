// The image-store packer: turns the built-in skin images (PNG sources plus
// their manifest) into the component stream that the image-store data
// module is created from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks::skinpack {

struct ManifestEntry {
    std::string id;
    int width = 0;
    int height = 0;
    bool opaque = false;  // dmOpaque; otherwise dmBlend
};

// One line per image: "<ResID> <width> <height> <dmBlend|dmOpaque>". Blank
// lines and lines starting with '#' are skipped. Ids must be unique ignoring
// ASCII case. Throws std::runtime_error naming the line.
std::vector<ManifestEntry> ParseManifest(std::string_view text);

struct StoreImage {
    ManifestEntry entry;
    std::vector<std::uint8_t> rgba;  // straight alpha, red, green, blue, alpha; rows top to bottom
};

// The whole stream: signature, the data module, its image list and one
// collection item per image in the given order. Pixels are stored as blue,
// green, red, alpha; opaque images get alpha 255 throughout.
std::vector<std::uint8_t> WriteImageStore(const std::vector<StoreImage>& images);

// Reads the manifest and the PNG named <ResID>.png beside it for every entry;
// each PNG must have the size the manifest gives.
std::vector<StoreImage> LoadImages(const std::string& manifestPath);

}  // namespace ks::skinpack
