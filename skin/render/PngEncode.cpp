// BitmapToPng: the bitmap as an in-memory PNG with its alpha channel (RGBA,
// 8 bits per channel, straight alpha), by libpng.
#include "skin/render/BitmapHelpers.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace ks {

namespace {

struct TPngSink {
    std::vector<std::uint8_t>* Out;
};

void WriteToSink(png_structp png, png_bytep data, png_size_t length)
{
    auto* sink = static_cast<TPngSink*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        sink->Out->insert(sink->Out->end(), data, data + length);
    } catch (...) {
        stored = false;  // no exception may cross libpng
    }
    if (!stored)
        png_error(png, "out of memory");
}

void FlushSink(png_structp) {}

// Everything that needs a destructor lives outside: a libpng error unwinds
// through longjmp.
bool Encode(const TCustomBitmap32& bitmap, std::vector<std::uint8_t>& rgba, std::vector<png_bytep>& rows,
            std::vector<std::uint8_t>& out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    TPngSink sink{&out};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, WriteToSink, FlushSink);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()), static_cast<png_uint_32>(bitmap.Height()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    (void)rgba;
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> BitmapToPng(const TCustomBitmap32* bitmap)
{
    if (bitmap == nullptr || bitmap->IsEmpty())
        return std::nullopt;
    try {
        const std::size_t w = static_cast<std::size_t>(bitmap->Width());
        const std::size_t h = static_cast<std::size_t>(bitmap->Height());
        std::vector<std::uint8_t> rgba(w * h * 4);
        std::vector<png_bytep> rows(h);
        for (std::size_t y = 0; y < h; ++y) {
            const TColor32* line = bitmap->ScanLine(static_cast<int>(y));
            std::uint8_t* out = rgba.data() + y * w * 4;
            for (std::size_t x = 0; x < w; ++x) {
                out[4 * x + 0] = static_cast<std::uint8_t>(RedOf(line[x]));
                out[4 * x + 1] = static_cast<std::uint8_t>(GreenOf(line[x]));
                out[4 * x + 2] = static_cast<std::uint8_t>(BlueOf(line[x]));
                out[4 * x + 3] = static_cast<std::uint8_t>(AlphaOf(line[x]));
            }
            rows[y] = out;
        }
        std::vector<std::uint8_t> png;
        png.reserve(w * h + 1024);
        if (!Encode(*bitmap, rgba, rows, png))
            return std::nullopt;
        return png;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace ks
