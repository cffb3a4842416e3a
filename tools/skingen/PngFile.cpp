#include "tools/skingen/PngFile.h"

#include <png.h>

#include <cstring>
#include <stdexcept>

namespace ks::skingen {

namespace {

// Skin images are small; anything beyond this is not a skin image.
constexpr png_uint_32 kMaxSide = 8192;

// libpng's simplified interface reports errors through the image record
// instead of longjmp, which keeps C++ objects out of harm's way.
struct ImageRecord {
    png_image image;
    ImageRecord()
    {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~ImageRecord() { png_image_free(&image); }
    ImageRecord(const ImageRecord&) = delete;
    ImageRecord& operator=(const ImageRecord&) = delete;
};

}  // namespace

void WritePng(const std::string& path, const RgbaImage& image)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4)
        throw std::runtime_error(path + ": bad image size");
    ImageRecord record;
    record.image.width = static_cast<png_uint_32>(image.width);
    record.image.height = static_cast<png_uint_32>(image.height);
    record.image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&record.image, path.c_str(), 0, image.pixels.data(), 0, nullptr))
        throw std::runtime_error(path + ": " + record.image.message);
}

RgbaImage ReadPng(const std::string& path)
{
    ImageRecord record;
    if (!png_image_begin_read_from_file(&record.image, path.c_str()))
        throw std::runtime_error(path + ": " + record.image.message);
    if (record.image.width == 0 || record.image.height == 0 || record.image.width > kMaxSide ||
        record.image.height > kMaxSide)
        throw std::runtime_error(path + ": image too large");
    record.image.format = PNG_FORMAT_RGBA;
    RgbaImage out;
    out.width = static_cast<int>(record.image.width);
    out.height = static_cast<int>(record.image.height);
    out.pixels.resize(PNG_IMAGE_SIZE(record.image));
    if (!png_image_finish_read(&record.image, nullptr, out.pixels.data(), 0, nullptr))
        throw std::runtime_error(path + ": " + record.image.message);
    return out;
}

}  // namespace ks::skingen
