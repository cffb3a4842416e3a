// PNG files through libpng.
//
// libpng reports errors by longjmp. The functions that call setjmp below
// hold no C++ objects with destructors, and nothing ever throws through
// libpng's own frames: libpng's state lives in a plain struct owned by
// DecodePng, which frees it on every path. The file is decoded once, at 8
// bits per sample without libpng's expansion transforms, and the colour
// type's rules (palette, grey scaling, transparency) are applied here.
#include "skin/resources/ImageDecoders.h"

#include "framework/ScopeGuard.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace ks {
namespace {

// Deflate cannot expand its input more than 1032 times (a 258-byte match in
// two bits); a file too short to hold the image data its header announces
// is refused before the pixels are allocated.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

struct PngReadState {
    png_structp png;
    png_infop info;
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
    char message[256];
};

struct PngHeader {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    int interlace;
    std::size_t rowBytes;
    int channels;
    // Palette and transparency, copied out of libpng.
    int numPalette;
    png_color palette[256];
    int numTrans;
    png_byte transAlpha[256];
    bool hasTransColor;
    png_color_16 transColor;
};

void PNGCBAPI OnPngError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message != nullptr ? message : "unknown error");
    png_longjmp(png, 1);
}

void PNGCBAPI OnPngWarning(png_structp, png_const_charp) {}

void PNGCBAPI OnPngRead(png_structp png, png_bytep out, std::size_t count)
{
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (count > state->size - state->pos)
        png_error(png, "unexpected end of file");
    std::memcpy(out, state->data + state->pos, count);
    state->pos += count;
}

// Reads everything up to the image data and sets up 8-bit samples, one
// byte per palette index or grey value. False with state->message on error.
bool ReadPngHeader(PngReadState* state, PngHeader* header, int maxSide)
{
    png_structp png = state->png;
    png_infop info = state->info;
    if (setjmp(png_jmpbuf(png)))
        return false;

    png_set_read_fn(png, state, OnPngRead);
    png_set_user_limits(png, static_cast<png_uint_32>(maxSide), static_cast<png_uint_32>(maxSide));
    png_set_chunk_malloc_max(png, 8u * 1024u * 1024u);
    png_read_info(png, info);

    png_get_IHDR(png, info, &header->width, &header->height, &header->bitDepth, &header->colorType, &header->interlace,
                 nullptr, nullptr);

    header->numPalette = 0;
    if (header->colorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &palette, &count) != 0 && palette != nullptr) {
            if (count > 256)
                count = 256;
            std::memcpy(header->palette, palette, sizeof(png_color) * static_cast<std::size_t>(count));
            header->numPalette = count;
        }
    }

    header->numTrans = 0;
    header->hasTransColor = false;
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_bytep transAlpha = nullptr;
        int numTrans = 0;
        png_color_16p transColor = nullptr;
        png_get_tRNS(png, info, &transAlpha, &numTrans, &transColor);
        if (header->colorType == PNG_COLOR_TYPE_PALETTE) {
            if (transAlpha != nullptr && numTrans > 0) {
                if (numTrans > 256)
                    numTrans = 256;
                std::memcpy(header->transAlpha, transAlpha, static_cast<std::size_t>(numTrans));
                header->numTrans = numTrans;
            }
        } else if (transColor != nullptr) {
            header->hasTransColor = true;
            header->transColor = *transColor;
        }
    }

    if (header->bitDepth == 16)
        png_set_strip_16(png);
    if (header->bitDepth < 8)
        png_set_packing(png);
    if (header->interlace != PNG_INTERLACE_NONE)
        png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->rowBytes = png_get_rowbytes(png, info);
    header->channels = png_get_channels(png, info);
    return true;
}

bool ReadPngRows(PngReadState* state, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(state->png)))
        return false;
    png_read_image(state->png, rows);
    return true;
}

// An 8-bit grey level from a stored sample of the file's bit depth.
unsigned ScaleGrey(unsigned value, int bitDepth)
{
    switch (bitDepth) {
    case 1:
        return value ? 255u : 0u;
    case 2:
        return (value & 3u) * 85u;
    case 4:
        return (value & 15u) * 17u;
    case 16:
        return (value >> 8) & 0xFFu;
    default:
        return value & 0xFFu;
    }
}

std::uint32_t ReadBe32(std::span<const std::uint8_t> data, std::size_t at)
{
    return (static_cast<std::uint32_t>(data[at]) << 24) | (static_cast<std::uint32_t>(data[at + 1]) << 16) |
           (static_cast<std::uint32_t>(data[at + 2]) << 8) | data[at + 3];
}

// Walks the chunk list before libpng sees it: libpng sizes some chunk
// buffers from the announced length before it reads the data, so a length
// that runs past the end of the file is refused here.
void CheckPngChunks(std::span<const std::uint8_t> data)
{
    std::size_t pos = 8;
    while (pos < data.size()) {
        if (data.size() - pos < 12)
            throw EImageError("Damaged PNG file: the file is truncated");
        const std::uint32_t length = ReadBe32(data, pos);
        if (length > 0x7FFFFFFFu || length > data.size() - pos - 12)
            throw EImageError("Damaged PNG file: the file is truncated");
        if (std::memcmp(data.data() + pos + 4, "IEND", 4) == 0)
            break;
        pos += 12 + static_cast<std::size_t>(length);
    }
}

// Palette: colour and alpha per index. Indices beyond the palette are
// black. A transparency table with partial values gives per-entry alpha;
// one with only 0 and 255 marks colours as transparent.
TPngTransparency ResolvePalette(const PngHeader& h, TColor32 (&paletteColor)[256])
{
    TPngTransparency mode = TPngTransparency::None;
    unsigned paletteAlpha[256];
    if (h.colorType == PNG_COLOR_TYPE_PALETTE) {
        bool partial = false;
        bool anyClear = false;
        for (int i = 0; i < 256; ++i) {
            paletteColor[i] = i < h.numPalette
                                  ? MakeColor32(h.palette[i].red, h.palette[i].green, h.palette[i].blue, 255)
                                  : MakeColor32(0, 0, 0, 255);
            const unsigned a = i < h.numTrans ? h.transAlpha[i] : 255u;
            if (i < h.numPalette && a != 0 && a != 255)
                partial = true;
            if (i < h.numPalette && a == 0)
                anyClear = true;
            paletteAlpha[i] = a;
        }
        if (partial) {
            mode = TPngTransparency::Partial;
            for (int i = 0; i < 256; ++i)
                paletteColor[i] =
                    WithAlpha(paletteColor[i], static_cast<int>(i < h.numPalette ? paletteAlpha[i] : 255u));
        } else if (anyClear) {
            // Every entry whose colour equals that of a fully transparent
            // entry is transparent too: transparency goes by colour.
            mode = TPngTransparency::SingleColor;
            bool clear[256] = {};
            for (int i = 0; i < h.numPalette; ++i) {
                if (paletteAlpha[i] != 0)
                    continue;
                for (int j = 0; j < 256; ++j)
                    if (paletteColor[j] == paletteColor[i])
                        clear[j] = true;
            }
            for (int j = 0; j < 256; ++j)
                if (clear[j])
                    paletteColor[j] = WithAlpha(paletteColor[j], 0);
        }
    }
    return mode;
}

// The colour a file marks transparent (tRNS for grey and RGB images).
std::optional<TColor32> TransparentKey(const PngHeader& h)
{
    if (!h.hasTransColor)
        return std::nullopt;
    if (h.colorType == PNG_COLOR_TYPE_GRAY) {
        const unsigned g = ScaleGrey(h.transColor.gray, h.bitDepth);
        return MakeColor32(g, g, g, 255);
    }
    const auto c8 = [&](png_uint_16 v) { return h.bitDepth == 16 ? (v >> 8) & 0xFFu : v & 0xFFu; };
    return MakeColor32(c8(h.transColor.red), c8(h.transColor.green), c8(h.transColor.blue), 255);
}

// Widens the decoded samples at the start of each row to 32-bit pixels.
void WidenRows(const PngHeader& h, const TColor32 (&paletteColor)[256], std::optional<TColor32> key, TColor32* pixels,
               int width, int height)
{
    const int depth8 = h.bitDepth == 16 ? 8 : h.bitDepth;
    for (int y = 0; y < height; ++y) {
        TColor32* out = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const std::uint8_t* in = reinterpret_cast<const std::uint8_t*>(out);
        // Backwards, so that the widening never overwrites unread samples.
        for (int x = width - 1; x >= 0; --x) {
            const std::size_t i = static_cast<std::size_t>(x);
            TColor32 c;
            switch (h.colorType) {
            case PNG_COLOR_TYPE_GRAY: {
                const unsigned g = ScaleGrey(in[i], depth8);
                c = MakeColor32(g, g, g, 255);
                break;
            }
            case PNG_COLOR_TYPE_GRAY_ALPHA:
                c = MakeColor32(in[2 * i], in[2 * i], in[2 * i], in[2 * i + 1]);
                break;
            case PNG_COLOR_TYPE_RGB:
                c = MakeColor32(in[3 * i], in[3 * i + 1], in[3 * i + 2], 255);
                break;
            case PNG_COLOR_TYPE_RGB_ALPHA:
                c = MakeColor32(in[4 * i], in[4 * i + 1], in[4 * i + 2], in[4 * i + 3]);
                break;
            default:  // palette
                c = paletteColor[in[i]];
                break;
            }
            if (key && c == *key)
                c = WithAlpha(c, 0);
            out[x] = c;
        }
    }
}

}  // namespace

TPngTransparency DecodePng(std::span<const std::uint8_t> data, TImageSink& sink, const TDecodeLimits& limits)
{
    if (!IsPngSignature(data))
        throw EImageError("Not a PNG file");
    // The size from the header chunk, checked before libpng sees the file so
    // that an oversized image gets the same message from every decoder.
    if (data.size() >= 24 && std::memcmp(data.data() + 12, "IHDR", 4) == 0)
        CheckImageSize("PNG", ReadBe32(data, 16), ReadBe32(data, 20), limits);
    CheckPngChunks(data);

    PngReadState state{};
    state.data = data.data();
    state.size = data.size();
    auto destroy = fw::OnScopeExit([&state] {
        if (state.png != nullptr)
            png_destroy_read_struct(&state.png, state.info != nullptr ? &state.info : nullptr, nullptr);
    });
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    if (state.png == nullptr)
        throw EImageError("PNG decoder cannot be created");
    state.info = png_create_info_struct(state.png);
    if (state.info == nullptr)
        throw EImageError("PNG decoder cannot be created");

    auto header = std::make_unique<PngHeader>();
    if (!ReadPngHeader(&state, header.get(), limits.MaxSide))
        throw EImageError(std::string("Damaged PNG file: ") + state.message);

    const int width = static_cast<int>(header->width);
    const int height = static_cast<int>(header->height);
    CheckImageSize("PNG", header->width, header->height, limits);

    const std::uint64_t storedBitsPerPixel =
        static_cast<std::uint64_t>(header->bitDepth) *
        (header->colorType == PNG_COLOR_TYPE_PALETTE ? 1u : static_cast<unsigned>(header->channels));
    const std::uint64_t rawBytes =
        static_cast<std::uint64_t>(height) * (1 + (static_cast<std::uint64_t>(width) * storedBitsPerPixel + 7) / 8);
    if (rawBytes > kMaxDeflateRatio * data.size())
        throw EImageError("Damaged PNG file: too short for an image of " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels");
    if (header->rowBytes == 0 || header->rowBytes > static_cast<std::size_t>(width) * 4 ||
        header->rowBytes != static_cast<std::size_t>(width) * static_cast<std::size_t>(header->channels))
        throw EImageError("Damaged PNG file: unexpected row layout");

    TColor32* pixels = sink.SetSize(width, height);
    // The rows are decoded into the start of each output row and widened to
    // 32 bits in place afterwards (a stored pixel is never wider than 4 bytes).
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] =
            reinterpret_cast<png_bytep>(pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width));
    if (!ReadPngRows(&state, rows.data()))
        throw EImageError(std::string("Damaged PNG file: ") + state.message);

    const PngHeader& h = *header;
    TColor32 paletteColor[256];
    TPngTransparency mode = ResolvePalette(h, paletteColor);
    const std::optional<TColor32> key = TransparentKey(h);
    if (key)
        mode = TPngTransparency::SingleColor;
    if (h.colorType == PNG_COLOR_TYPE_GRAY_ALPHA || h.colorType == PNG_COLOR_TYPE_RGB_ALPHA)
        mode = TPngTransparency::Partial;
    WidenRows(h, paletteColor, key, pixels, width, height);
    return mode;
}

}  // namespace ks
