// Writes the sample images of tests/data/images: PNG files of every colour
// type and depth (with and without transparency, interlaced), JPEG files and
// Windows bitmaps of every depth, plus damaged and oversized variants. The
// pixels follow ImageSamples.h. Run by hand after a change to the patterns:
//
//   ks_make_image_samples tests/data/images
//
// and commit the files (they also seed the fuzz corpora).
#include "tests/skin/resources/ImageSamples.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

using namespace ks::samples;

namespace {

using Bytes = std::vector<std::uint8_t>;
std::string g_dir;

void Save(const std::string& name, const Bytes& bytes)
{
    const std::string path = g_dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

// --- PNG --------------------------------------------------------------------

struct PngSample {
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> transAlpha;
    bool hasTransColor = false;
    png_color_16 transColor{};
    // Sample values of pixel (x, y), one per channel, at the bit depth.
    std::function<std::vector<unsigned>(int x, int y)> samples;
};

void PngWrite(png_structp png, png_bytep data, std::size_t size)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}
void PngFlush(png_structp) {}

Bytes EncodePng(const PngSample& sample)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        std::fprintf(stderr, "libpng failed\n");
        std::exit(1);
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, kWidth, kHeight, sample.bitDepth, sample.colorType,
                 sample.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!sample.palette.empty())
        png_set_PLTE(png, info, sample.palette.data(), static_cast<int>(sample.palette.size()));
    if (!sample.transAlpha.empty())
        png_set_tRNS(png, info, sample.transAlpha.data(), static_cast<int>(sample.transAlpha.size()), nullptr);
    if (sample.hasTransColor) {
        png_color_16 c = sample.transColor;
        png_set_tRNS(png, info, nullptr, 0, &c);
    }
    png_write_info(png, info);

    // Pack each row at the stored bit depth (big-endian 16-bit samples,
    // sub-byte samples from the high bits).
    std::vector<Bytes> rows(kHeight);
    std::vector<png_bytep> pointers(kHeight);
    for (int y = 0; y < kHeight; ++y) {
        Bytes& row = rows[y];
        unsigned bitPos = 0;
        for (int x = 0; x < kWidth; ++x) {
            for (unsigned v : sample.samples(x, y)) {
                if (sample.bitDepth == 16) {
                    row.push_back(static_cast<std::uint8_t>(v >> 8));
                    row.push_back(static_cast<std::uint8_t>(v));
                } else if (sample.bitDepth == 8) {
                    row.push_back(static_cast<std::uint8_t>(v));
                } else {
                    if (bitPos % 8 == 0)
                        row.push_back(0);
                    row.back() |= static_cast<std::uint8_t>(v << (8 - sample.bitDepth - bitPos % 8));
                    bitPos += static_cast<unsigned>(sample.bitDepth);
                }
            }
        }
        pointers[y] = row.data();
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<png_color> SamplePalette(unsigned entries)
{
    std::vector<png_color> palette;
    for (unsigned i = 0; i < entries; ++i)
        palette.push_back({static_cast<png_byte>(PaletteRed(i)), static_cast<png_byte>(PaletteGreen(i)),
                           static_cast<png_byte>(PaletteBlue(i))});
    return palette;
}

std::uint32_t Crc(const std::uint8_t* p, std::size_t n)
{
    return static_cast<std::uint32_t>(crc32(0, p, static_cast<uInt>(n)));
}

void PutBe32(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v >> 24);
    b[at + 1] = static_cast<std::uint8_t>(v >> 16);
    b[at + 2] = static_cast<std::uint8_t>(v >> 8);
    b[at + 3] = static_cast<std::uint8_t>(v);
}

// Sets the size in the header chunk of an encoded PNG, fixing its CRC.
void PatchPngSize(Bytes& png, std::uint32_t width, std::uint32_t height)
{
    PutBe32(png, 16, width);
    PutBe32(png, 20, height);
    PutBe32(png, 29, Crc(png.data() + 12, 17));
}

void WritePngSamples()
{
    for (int depth : {1, 2, 4, 8, 16}) {
        PngSample s;
        s.colorType = PNG_COLOR_TYPE_GRAY;
        s.bitDepth = depth;
        s.samples = [depth](int x, int y) {
            const unsigned v = GreySample(x, y, depth);
            return std::vector<unsigned>{depth == 16 ? Wide(v, x, y) : v};
        };
        Save("png_gray" + std::to_string(depth) + ".png", EncodePng(s));
        if (depth == 4 || depth == 8 || depth == 16) {
            // The key is the colour of pixel (1, 1).
            const unsigned key8 = GreySample(1, 1, depth);
            s.hasTransColor = true;
            s.transColor.gray = static_cast<png_uint_16>(depth == 16 ? Wide(key8, 1, 1) : key8);
            Save("png_gray" + std::to_string(depth) + "_trns.png", EncodePng(s));
        }
        if (depth == 2) {
            s.interlaced = true;
            Save("png_gray2_interlaced.png", EncodePng(s));
        }
    }
    for (int depth : {8, 16}) {
        PngSample s;
        s.bitDepth = depth;
        const auto w = [depth](unsigned v, int x, int y) { return depth == 16 ? Wide(v, x, y) : v; };
        s.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
        s.samples = [w](int x, int y) { return std::vector<unsigned>{w(Red(x, y), x, y), w(Alpha(x, y), x, y)}; };
        Save("png_ga" + std::to_string(depth) + ".png", EncodePng(s));
        s.colorType = PNG_COLOR_TYPE_RGB;
        s.samples = [w](int x, int y) {
            return std::vector<unsigned>{w(Red(x, y), x, y), w(Green(x, y), x, y), w(Blue(x, y), x, y)};
        };
        Save("png_rgb" + std::to_string(depth) + ".png", EncodePng(s));
        if (depth == 8) {
            s.hasTransColor = true;
            s.transColor.red = static_cast<png_uint_16>(Red(3, 2));
            s.transColor.green = static_cast<png_uint_16>(Green(3, 2));
            s.transColor.blue = static_cast<png_uint_16>(Blue(3, 2));
            Save("png_rgb8_trns.png", EncodePng(s));
            s.hasTransColor = false;
        }
        s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        s.samples = [w](int x, int y) {
            return std::vector<unsigned>{w(Red(x, y), x, y), w(Green(x, y), x, y), w(Blue(x, y), x, y),
                                         w(Alpha(x, y), x, y)};
        };
        Save("png_rgba" + std::to_string(depth) + ".png", EncodePng(s));
        if (depth == 8) {
            s.interlaced = true;
            Save("png_rgba8_interlaced.png", EncodePng(s));
        }
    }
    for (int depth : {1, 2, 4, 8}) {
        const unsigned entries = depth == 8 ? 13u : (1u << depth);
        PngSample s;
        s.colorType = PNG_COLOR_TYPE_PALETTE;
        s.bitDepth = depth;
        s.palette = SamplePalette(entries);
        s.samples = [entries](int x, int y) { return std::vector<unsigned>{PaletteIndex(x, y, entries)}; };
        Save("png_pal" + std::to_string(depth) + ".png", EncodePng(s));
        if (depth == 8) {
            // Entry 4 is transparent; entry 9 has its colour and goes with it.
            s.palette[9] = s.palette[4];
            s.transAlpha.assign(6, 255);
            s.transAlpha[4] = 0;
            Save("png_pal8_trns.png", EncodePng(s));
            s.palette = SamplePalette(entries);
            s.transAlpha = {255, 0, 128, 64, 255, 10};
            Save("png_pal8_alpha.png", EncodePng(s));
        }
    }

    // Damaged files, all from the RGBA sample.
    PngSample s;
    s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    s.samples = [](int x, int y) { return std::vector<unsigned>{Red(x, y), Green(x, y), Blue(x, y), Alpha(x, y)}; };
    const Bytes good = EncodePng(s);
    Save("png_truncated.png", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() - 30)));
    Bytes badCrc = good;
    badCrc[29] ^= 0x55;
    Save("png_bad_crc.png", badCrc);
    Bytes wide = good;
    PatchPngSize(wide, 20000, 16);
    Save("png_oversized.png", wide);
    Bytes huge = good;
    PatchPngSize(huge, 16384, 16384);
    Save("png_huge_claim.png", huge);
}

// --- JPEG -------------------------------------------------------------------

Bytes EncodeJpeg(bool grey, bool progressive)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = kJpegSize;
    cinfo.image_height = kJpegSize;
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int i = 0; i < cinfo.num_components; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;
        cinfo.comp_info[i].v_samp_factor = 1;
    }
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(kJpegSize * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < kJpegSize; ++x) {
            if (grey) {
                row[x] = static_cast<unsigned char>(JpegRed(x, y));
            } else {
                row[3 * x] = static_cast<unsigned char>(JpegRed(x, y));
                row[3 * x + 1] = static_cast<unsigned char>(JpegGreen(x, y));
                row[3 * x + 2] = static_cast<unsigned char>(JpegBlue(x, y));
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

void WriteJpegSamples()
{
    const Bytes rgb = EncodeJpeg(false, false);
    Save("jpeg_rgb.jpg", rgb);
    Save("jpeg_gray.jpg", EncodeJpeg(true, false));
    const Bytes progressive = EncodeJpeg(false, true);
    Save("jpeg_progressive.jpg", progressive);
    Save("jpeg_truncated.jpg", Bytes(rgb.begin(), rgb.begin() + static_cast<std::ptrdiff_t>(rgb.size() / 2)));
    Save("jpeg_progressive_truncated.jpg",
         Bytes(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(progressive.size() * 2 / 3)));
    // The frame header claims 20000 x 20000 pixels.
    Bytes oversized = rgb;
    for (std::size_t i = 0; i + 8 < oversized.size(); ++i) {
        if (oversized[i] == 0xFF && oversized[i + 1] == 0xC0) {
            oversized[i + 5] = 20000 >> 8;
            oversized[i + 6] = 20000 & 0xFF;
            oversized[i + 7] = 20000 >> 8;
            oversized[i + 8] = 20000 & 0xFF;
            break;
        }
    }
    Save("jpeg_oversized.jpg", oversized);
}

// --- BMP --------------------------------------------------------------------

void Put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct BmpSpec {
    unsigned headerSize = 40;
    int bitCount = 24;
    std::uint32_t compression = 0;
    bool topDown = false;
    std::vector<std::uint32_t> masks;  // written after a 40-byte header, or inside a larger one
    unsigned paletteEntries = 0;
    Bytes pixelData;  // when empty: rows from RowBytes
    std::function<Bytes(int y)> rowBytes;
    std::int32_t width = kWidth;
    std::int32_t height = kHeight;
};

Bytes EncodeBmp(const BmpSpec& sample)
{
    Bytes header;
    if (sample.headerSize == 12) {
        Put32(header, 12);
        Put16(header, static_cast<std::uint32_t>(sample.width));
        Put16(header, static_cast<std::uint32_t>(sample.height));
        Put16(header, 1);
        Put16(header, static_cast<std::uint32_t>(sample.bitCount));
    } else {
        Put32(header, sample.headerSize);
        Put32(header, static_cast<std::uint32_t>(sample.width));
        Put32(header, static_cast<std::uint32_t>(sample.topDown ? -sample.height : sample.height));
        Put16(header, 1);
        Put16(header, static_cast<std::uint32_t>(sample.bitCount));
        Put32(header, sample.compression);
        Put32(header, 0);  // image size
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, sample.paletteEntries);
        Put32(header, 0);
        for (std::uint32_t m : sample.masks)
            Put32(header, m);
        while (header.size() < sample.headerSize)
            header.push_back(0);
    }
    Bytes palette;
    for (unsigned i = 0; i < sample.paletteEntries; ++i) {
        palette.push_back(static_cast<std::uint8_t>(PaletteBlue(i)));
        palette.push_back(static_cast<std::uint8_t>(PaletteGreen(i)));
        palette.push_back(static_cast<std::uint8_t>(PaletteRed(i)));
        if (sample.headerSize != 12)
            palette.push_back(0);
    }
    Bytes pixels = sample.pixelData;
    if (pixels.empty()) {
        for (int row = 0; row < sample.height; ++row) {
            const int y = sample.topDown ? row : sample.height - 1 - row;
            Bytes r = sample.rowBytes(y);
            while (r.size() % 4 != 0)
                r.push_back(0);
            pixels.insert(pixels.end(), r.begin(), r.end());
        }
    }
    Bytes file{'B', 'M'};
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + header.size() + palette.size());
    Put32(file, static_cast<std::uint32_t>(offset + pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

Bytes IndexRow(int y, int bits, unsigned entries)
{
    Bytes r;
    unsigned bitPos = 0;
    for (int x = 0; x < kWidth; ++x) {
        if (bitPos % 8 == 0)
            r.push_back(0);
        r.back() |= static_cast<std::uint8_t>(PaletteIndex(x, y, entries) << (8 - bits - bitPos % 8));
        bitPos += static_cast<unsigned>(bits);
    }
    return r;
}

// Run-length data for the RleIndex pattern, bottom row first, mixing the
// three kinds of record: absolute runs, encoded runs and a delta jump.
Bytes EncodeRle(bool rle4, unsigned entries)
{
    Bytes out;
    const auto absolute = [&](int y, int x0, int count) {
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(count));
        std::size_t bytes = 0;
        for (int i = 0; i < count; ++i) {
            const unsigned idx = PaletteIndex(x0 + i, y, entries);
            if (rle4) {
                if (i % 2 == 0) {
                    out.push_back(static_cast<std::uint8_t>(idx << 4));
                    ++bytes;
                } else {
                    out.back() |= static_cast<std::uint8_t>(idx);
                }
            } else {
                out.push_back(static_cast<std::uint8_t>(idx));
                ++bytes;
            }
        }
        if (bytes % 2 != 0)
            out.push_back(0);
    };
    const auto encoded = [&](int y, int x) {
        out.push_back(1);
        const unsigned idx = PaletteIndex(x, y, entries);
        out.push_back(static_cast<std::uint8_t>(rle4 ? (idx << 4) | idx : idx));
    };
    for (int y = kHeight - 1; y >= 0; --y) {
        if (y == 0) {
            for (int x = 0; x < 2; ++x)
                encoded(y, x);
            out.push_back(0);  // delta right by 2
            out.push_back(2);
            out.push_back(2);
            out.push_back(0);
            absolute(y, 4, kWidth - 4);
        } else if (y % 2 == 1) {
            absolute(y, 0, kWidth);
        } else {
            for (int x = 0; x < kWidth; ++x)
                encoded(y, x);
        }
        out.push_back(0);  // end of line
        out.push_back(0);
    }
    out.push_back(0);  // end of bitmap
    out.push_back(1);
    return out;
}

Bytes Row32(int y, bool withAlpha)
{
    Bytes r;
    for (int x = 0; x < kWidth; ++x) {
        r.push_back(static_cast<std::uint8_t>(Blue(x, y)));
        r.push_back(static_cast<std::uint8_t>(Green(x, y)));
        r.push_back(static_cast<std::uint8_t>(Red(x, y)));
        r.push_back(static_cast<std::uint8_t>(withAlpha ? Alpha(x, y) : 0));
    }
    return r;
}

void WriteBmpSamples()
{
    BmpSpec s;
    s.bitCount = 32;
    s.rowBytes = [](int y) { return Row32(y, true); };
    Save("bmp32.bmp", EncodeBmp(s));
    s.topDown = true;
    Save("bmp32_topdown.bmp", EncodeBmp(s));

    // 32 bits with an alpha mask in a V5 header (stored A, R, G, B in the
    // top-down byte order B, G, R, A).
    BmpSpec v5;
    v5.headerSize = 124;
    v5.bitCount = 32;
    v5.compression = 3;
    v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    v5.rowBytes = [](int y) { return Row32(y, true); };
    Save("bmp32_v5_alpha.bmp", EncodeBmp(v5));

    // 32 bits with bit fields but no alpha mask: the fourth byte is ignored.
    BmpSpec bf;
    bf.bitCount = 32;
    bf.compression = 3;
    bf.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    bf.rowBytes = [](int y) { return Row32(y, true); };
    Save("bmp32_bitfields.bmp", EncodeBmp(bf));

    BmpSpec s24;
    s24.rowBytes = [](int y) {
        Bytes r;
        for (int x = 0; x < kWidth; ++x) {
            r.push_back(static_cast<std::uint8_t>(Blue(x, y)));
            r.push_back(static_cast<std::uint8_t>(Green(x, y)));
            r.push_back(static_cast<std::uint8_t>(Red(x, y)));
        }
        return r;
    };
    const Bytes bmp24 = EncodeBmp(s24);
    Save("bmp24.bmp", bmp24);
    Save("bmp_truncated.bmp", Bytes(bmp24.begin(), bmp24.end() - 10));
    s24.headerSize = 12;
    Save("bmp_core24.bmp", EncodeBmp(s24));

    // 16 bits: 5-5-5 and 5-6-5 with masks; channel value = top bits of the
    // 8-bit pattern.
    BmpSpec s16;
    s16.bitCount = 16;
    s16.rowBytes = [](int y) {
        Bytes r;
        for (int x = 0; x < kWidth; ++x)
            Put16(r, ((Red(x, y) >> 3) << 10) | ((Green(x, y) >> 3) << 5) | (Blue(x, y) >> 3));
        return r;
    };
    Save("bmp16_555.bmp", EncodeBmp(s16));
    s16.compression = 3;
    s16.masks = {0xF800, 0x07E0, 0x001F};
    s16.rowBytes = [](int y) {
        Bytes r;
        for (int x = 0; x < kWidth; ++x)
            Put16(r, ((Red(x, y) >> 3) << 11) | ((Green(x, y) >> 2) << 5) | (Blue(x, y) >> 3));
        return r;
    };
    Save("bmp16_565.bmp", EncodeBmp(s16));

    for (int bits : {1, 4, 8}) {
        const unsigned entries = bits == 8 ? 13u : (1u << bits);
        BmpSpec p;
        p.bitCount = bits;
        p.paletteEntries = entries;
        p.rowBytes = [bits, entries](int y) { return IndexRow(y, bits, entries); };
        Save("bmp" + std::to_string(bits) + ".bmp", EncodeBmp(p));
    }

    BmpSpec rle8;
    rle8.bitCount = 8;
    rle8.compression = 1;
    rle8.paletteEntries = 13;
    rle8.pixelData = EncodeRle(false, 13);
    Save("bmp_rle8.bmp", EncodeBmp(rle8));
    BmpSpec rle4;
    rle4.bitCount = 4;
    rle4.compression = 2;
    rle4.paletteEntries = 16;
    rle4.pixelData = EncodeRle(true, 16);
    Save("bmp_rle4.bmp", EncodeBmp(rle4));

    // A 32-bit header claiming 20000 x 20000 pixels over a few bytes of data.
    BmpSpec big;
    big.bitCount = 32;
    big.width = 20000;
    big.height = 20000;
    big.pixelData = Bytes(64, 0x80);
    Save("bmp_oversized.bmp", EncodeBmp(big));
    // Within the limits, but the data is far too short for the size.
    big.width = 4000;
    big.height = 4000;
    Save("bmp_short_data.bmp", EncodeBmp(big));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    g_dir = argv[1];
    WritePngSamples();
    WriteJpegSamples();
    WriteBmpSamples();
    return 0;
}
