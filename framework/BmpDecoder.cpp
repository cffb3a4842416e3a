// Windows bitmap files, read without the platform: the same code decodes
// them on every system, and every read is checked against the file's length.
//
// Layout: a 14-byte file header ("BM", size, reserved, offset of the
// pixels), an info header (12 bytes for the old core format, 40 or more
// otherwise), colour masks and a palette, then the rows, bottom-up unless
// the height is negative, each padded to 4 bytes.
#include "framework/ImageDecoding.h"

#include <string>

namespace fw {
namespace {

constexpr std::uint32_t MakeColor32(unsigned r, unsigned g, unsigned b, unsigned a)
{
    return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitFields = 3;
constexpr std::uint32_t kBiAlphaBitFields = 6;

[[noreturn]] void Fail(const std::string& why) { throw EImageError("Damaged bitmap file: " + why); }

class ByteView {
public:
    explicit ByteView(std::span<const std::uint8_t> data) : m_data(data) {}

    std::size_t Size() const { return m_data.size(); }
    bool Has(std::uint64_t offset, std::uint64_t count) const
    {
        return offset <= m_data.size() && count <= m_data.size() - offset;
    }
    std::uint16_t U16(std::size_t at) const
    {
        if (!Has(at, 2))
            Fail("the header is truncated");
        return static_cast<std::uint16_t>(m_data[at] | (m_data[at + 1] << 8));
    }
    std::uint32_t U32(std::size_t at) const
    {
        if (!Has(at, 4))
            Fail("the header is truncated");
        return static_cast<std::uint32_t>(m_data[at]) | (static_cast<std::uint32_t>(m_data[at + 1]) << 8) |
               (static_cast<std::uint32_t>(m_data[at + 2]) << 16) | (static_cast<std::uint32_t>(m_data[at + 3]) << 24);
    }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    const std::uint8_t* At(std::size_t at) const { return m_data.data() + at; }

private:
    std::span<const std::uint8_t> m_data;
};

// One colour channel described by a bit mask, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    static Channel From(std::uint32_t mask)
    {
        Channel c;
        c.mask = mask;
        if (mask == 0)
            return c;
        while (((mask >> c.shift) & 1u) == 0)
            ++c.shift;
        while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1u) != 0)
            ++c.bits;
        return c;
    }
    unsigned Get(std::uint32_t v, unsigned absent) const
    {
        if (bits == 0)
            return absent;
        std::uint32_t x = (v & mask) >> shift;
        if (bits > 8)
            return (x >> (bits - 8)) & 0xFFu;
        const std::uint32_t max = (1u << bits) - 1;
        x &= max;
        return static_cast<unsigned>((x * 255 + max / 2) / max);
    }
};

struct BmpHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // absolute
    bool topDown = false;
    unsigned bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::uint32_t pixelOffset = 0;
    std::uint32_t masks[4] = {};  // red, green, blue, alpha
    bool hasMasks = false;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntrySize = 4;
};

BmpHeader ReadHeader(const ByteView& bytes)
{
    BmpHeader h;
    h.pixelOffset = bytes.U32(10);
    h.headerSize = bytes.U32(14);
    if (h.headerSize == 12) {
        h.width = bytes.U16(18);
        h.height = bytes.U16(20);
        if (bytes.U16(22) != 1)
            Fail("the number of planes is not 1");
        h.bitCount = bytes.U16(24);
        h.paletteEntrySize = 3;
    } else if (h.headerSize == 40 || h.headerSize == 52 || h.headerSize == 56 || h.headerSize == 108 ||
               h.headerSize == 124) {
        h.width = bytes.I32(18);
        const std::int32_t height = bytes.I32(22);
        h.topDown = height < 0;
        h.height = height < 0 ? -static_cast<std::int64_t>(height) : height;
        if (bytes.U16(26) != 1)
            Fail("the number of planes is not 1");
        h.bitCount = bytes.U16(28);
        h.compression = bytes.U32(30);
        h.colorsUsed = bytes.U32(46);
        std::size_t maskAt = 0;
        unsigned maskCount = 0;
        if (h.headerSize >= 52) {
            maskAt = 54;
            maskCount = h.headerSize >= 56 ? 4 : 3;
        } else if (h.compression == kBiBitFields) {
            maskAt = 54;
            maskCount = 3;
        } else if (h.compression == kBiAlphaBitFields) {
            maskAt = 54;
            maskCount = 4;
        }
        for (unsigned i = 0; i < maskCount; ++i)
            h.masks[i] = bytes.U32(maskAt + 4 * i);
        h.hasMasks = h.compression == kBiBitFields || h.compression == kBiAlphaBitFields;
        if (h.headerSize == 40)
            h.paletteOffset = 14 + 40 + 4 * std::size_t{maskCount};
    } else {
        Fail("unsupported header of " + std::to_string(h.headerSize) + " bytes");
    }
    if (h.paletteOffset == 0)
        h.paletteOffset = 14 + h.headerSize;

    switch (h.compression) {
    case kBiRgb:
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 &&
            h.bitCount != 32)
            Fail("unsupported depth of " + std::to_string(h.bitCount) + " bits");
        break;
    case kBiRle8:
    case kBiRle4:
        if (h.bitCount != (h.compression == kBiRle8 ? 8u : 4u))
            Fail("run-length compression does not match the depth");
        if (h.topDown)
            Fail("a run-length compressed bitmap cannot be top-down");
        break;
    case kBiBitFields:
    case kBiAlphaBitFields:
        if (h.bitCount != 16 && h.bitCount != 32)
            Fail("bit fields need a depth of 16 or 32 bits");
        break;
    default:
        Fail("unsupported compression " + std::to_string(h.compression));
    }
    return h;
}

// Palette of up to 256 entries, opaque; missing entries are black.
void ReadPalette(const ByteView& bytes, const BmpHeader& h, std::uint32_t (&palette)[256])
{
    for (std::uint32_t& c : palette)
        c = MakeColor32(0, 0, 0, 255);
    if (h.bitCount > 8)
        return;
    const std::uint32_t maxEntries = 1u << h.bitCount;
    std::uint32_t count = h.colorsUsed == 0 || h.colorsUsed > maxEntries ? maxEntries : h.colorsUsed;
    if (!bytes.Has(h.paletteOffset, std::uint64_t{count} * h.paletteEntrySize)) {
        // Writers that leave out unused entries: take what is there, but the
        // palette may not run into nothing.
        if (h.paletteOffset > bytes.Size())
            Fail("the palette is truncated");
        count = static_cast<std::uint32_t>((bytes.Size() - h.paletteOffset) / h.paletteEntrySize);
        if (count == 0)
            Fail("the palette is truncated");
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = bytes.At(h.paletteOffset + i * h.paletteEntrySize);
        palette[i] = MakeColor32(p[2], p[1], p[0], 255);
    }
}

void DecodeRle(const ByteView& bytes, const BmpHeader& h, const std::uint32_t (&palette)[256], std::uint32_t* pixels,
               int width, int height)
{
    for (std::size_t i = 0, n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height); i < n; ++i)
        pixels[i] = palette[0];
    if (!bytes.Has(h.pixelOffset, 0))
        Fail("the pixel data is missing");
    const bool rle4 = h.compression == kBiRle4;
    std::size_t pos = h.pixelOffset;
    const std::size_t end = bytes.Size();
    int x = 0;
    int y = 0;  // counted from the bottom row
    const auto put = [&](unsigned index) {
        if (x < width && y < height)
            pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)] = palette[index & 0xFFu];
        ++x;
    };
    while (y < height) {
        if (end - pos < 2)
            Fail("the run-length data is truncated");
        const unsigned count = *bytes.At(pos);
        const unsigned value = *bytes.At(pos + 1);
        pos += 2;
        if (count > 0) {
            // An encoded run: count pixels of one index (RLE4: two
            // alternating indices).
            for (unsigned i = 0; i < count && x < width; ++i)
                put(rle4 ? ((i & 1) ? value & 0x0Fu : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (end - pos < 2)
                Fail("the run-length data is truncated");
            x += *bytes.At(pos);
            y += *bytes.At(pos + 1);
            pos += 2;
        } else {  // absolute run of value pixels, padded to 16 bits
            const std::size_t dataBytes = rle4 ? (value + 1) / 2 : value;
            const std::size_t padded = (dataBytes + 1) & ~std::size_t{1};
            if (end - pos < padded)
                Fail("the run-length data is truncated");
            for (unsigned i = 0; i < value; ++i) {
                const unsigned b = *bytes.At(pos + (rle4 ? i / 2 : i));
                put(rle4 ? ((i & 1) ? b & 0x0Fu : b >> 4) : b);
            }
            pos += padded;
        }
    }
}

// The bit masks of the three colour channels and alpha: a file's own, or
// 5-5-5 for a 16-bit file without them.
struct Channels {
    Channel red, green, blue, alpha;
};

Channels ChannelsOf(const BmpHeader& h)
{
    Channels c;
    if (h.hasMasks) {
        c.red = Channel::From(h.masks[0]);
        c.green = Channel::From(h.masks[1]);
        c.blue = Channel::From(h.masks[2]);
        c.alpha = Channel::From(h.masks[3]);
    } else if (h.bitCount == 16) {
        c.red = Channel::From(0x7C00);
        c.green = Channel::From(0x03E0);
        c.blue = Channel::From(0x001F);
    }
    return c;
}

// One uncompressed row of the file into one row of pixels.
void DecodeRow(const BmpHeader& h, const Channels& c, const std::uint32_t (&palette)[256], const std::uint8_t* in,
               std::uint32_t* out, int width)
{
    const Channel& red = c.red;
    const Channel& green = c.green;
    const Channel& blue = c.blue;
    const Channel& alpha = c.alpha;
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8: {
        const unsigned perByte = 8 / h.bitCount;
        const unsigned mask = (1u << h.bitCount) - 1;
        for (int x = 0; x < width; ++x) {
            const unsigned b = in[static_cast<unsigned>(x) / perByte];
            const unsigned shift = 8 - h.bitCount * (static_cast<unsigned>(x) % perByte + 1);
            out[x] = palette[(b >> shift) & mask];
        }
        break;
    }
    case 16:
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = in[2 * x] | (in[2 * x + 1] << 8);
            out[x] = MakeColor32(red.Get(v, 0), green.Get(v, 0), blue.Get(v, 0), alpha.Get(v, 255));
        }
        break;
    case 24:
        for (int x = 0; x < width; ++x)
            out[x] = MakeColor32(in[3 * x + 2], in[3 * x + 1], in[3 * x], 255);
        break;
    case 32:
        if (!h.hasMasks) {
            // Read as stored, alpha bytes included.
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = in + 4 * x;
                out[x] = MakeColor32(p[2], p[1], p[0], p[3]);
            }
        } else {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = in + 4 * x;
                const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                        (static_cast<std::uint32_t>(p[2]) << 16) |
                                        (static_cast<std::uint32_t>(p[3]) << 24);
                out[x] = MakeColor32(red.Get(v, 0), green.Get(v, 0), blue.Get(v, 0), alpha.Get(v, 255));
            }
        }
        break;
    }
}

}  // namespace

TBmpInfo DecodeBmp(std::span<const std::uint8_t> data, TImageSink& sink, const TDecodeLimits& limits)
{
    if (!IsBmpSignature(data))
        throw EImageError("Not a bitmap file");
    const ByteView bytes(data);
    const BmpHeader h = ReadHeader(bytes);
    CheckImageSize("Bitmap", h.width, h.height, limits);
    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(h.height);

    std::uint32_t palette[256];
    ReadPalette(bytes, h, palette);

    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        std::uint32_t* pixels = sink.SetSize(width, height);
        DecodeRle(bytes, h, palette, pixels, width, height);
        return TBmpInfo{static_cast<int>(h.bitCount)};
    }

    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * h.bitCount + 31) / 32 * 4;
    if (!bytes.Has(h.pixelOffset, stride * static_cast<std::uint64_t>(height)))
        Fail("the pixel data is truncated");

    const Channels channels = ChannelsOf(h);
    std::uint32_t* pixels = sink.SetSize(width, height);
    for (int row = 0; row < height; ++row) {
        const int y = h.topDown ? row : height - 1 - row;
        const std::uint8_t* in =
            bytes.At(h.pixelOffset + static_cast<std::size_t>(stride) * static_cast<std::size_t>(row));
        DecodeRow(h, channels, palette, in, pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                  width);
    }
    return TBmpInfo{static_cast<int>(h.bitCount)};
}

}  // namespace fw
