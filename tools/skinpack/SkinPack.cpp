#include "tools/skinpack/SkinPack.h"

#include "framework/Streams.h"
#include "tools/skingen/PngFile.h"

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace ks::skinpack {

namespace {

// Design-time values of the data module and its image list; they have no
// run-time meaning but belong to the stored form of the store.
constexpr int kModuleHeight = 265;
constexpr int kModuleWidth = 313;
constexpr int kListLeft = 136;
constexpr int kListTop = 88;

// Skin images are small; a manifest that asks for more is a typo.
constexpr int kMaxSide = 4096;

std::string UpperAscii(std::string s)
{
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    return s;
}

[[noreturn]] void Fail(size_t line, const std::string& message)
{
    throw std::runtime_error("manifest line " + std::to_string(line) + ": " + message);
}

int ParseSide(size_t line, const std::string& text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        Fail(line, "'" + text + "' is not a valid size");
    const int value = std::stoi(text);
    if (value < 1 || value > kMaxSide)
        Fail(line, "size " + text + " out of range");
    return value;
}

void WritePixels(fw::TStreamWriter& out, const StoreImage& image)
{
    const auto w = static_cast<std::uint32_t>(image.entry.width);
    const auto h = static_cast<std::uint32_t>(image.entry.height);
    std::vector<std::uint8_t> data;
    data.reserve(8 + image.rgba.size());
    for (std::uint32_t v : {w, h})
        for (int shift = 0; shift < 32; shift += 8)
            data.push_back(static_cast<std::uint8_t>(v >> shift));
    for (size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        data.push_back(image.rgba[i + 2]);
        data.push_back(image.rgba[i + 1]);
        data.push_back(image.rgba[i]);
        data.push_back(image.entry.opaque ? 0xFF : image.rgba[i + 3]);
    }
    out.WriteBinary(data);
}

}  // namespace

std::vector<ManifestEntry> ParseManifest(std::string_view text)
{
    std::vector<ManifestEntry> entries;
    std::set<std::string> seen;
    std::istringstream in{std::string(text)};
    std::string raw;
    for (size_t line = 1; std::getline(in, raw); ++line) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        std::istringstream fields(raw);
        std::string id, w, h, mode, extra;
        if (!(fields >> id) || id[0] == '#')
            continue;
        if (!(fields >> w >> h >> mode))
            Fail(line, "expected \"<ResID> <width> <height> <dmBlend|dmOpaque>\"");
        if (fields >> extra)
            Fail(line, "unexpected '" + extra + "'");
        if (id.size() > 255)
            Fail(line, "id longer than 255 bytes");
        ManifestEntry entry;
        entry.id = id;
        entry.width = ParseSide(line, w);
        entry.height = ParseSide(line, h);
        if (mode == "dmOpaque")
            entry.opaque = true;
        else if (mode != "dmBlend")
            Fail(line, "unknown draw mode '" + mode + "'");
        // Lookup compares ids without case, so such twins could never both be found.
        if (!seen.insert(UpperAscii(id)).second)
            Fail(line, "duplicate id '" + id + "'");
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::uint8_t> WriteImageStore(const std::vector<StoreImage>& images)
{
    fw::TStreamWriter out;
    out.WriteSignature();

    out.WriteShortString("TKsSkinResDM");
    out.WriteShortString("KsSkinResDM");
    out.WriteShortString("OldCreateOrder");
    out.WriteBoolean(false);
    out.WriteShortString("Height");
    out.WriteInteger(kModuleHeight);
    out.WriteShortString("Width");
    out.WriteInteger(kModuleWidth);
    out.WriteListEnd();

    out.WriteShortString("TKsSkinImageList");
    out.WriteShortString("KsSkinImageListMain");
    out.WriteShortString("Bitmaps");
    out.WriteValueType(fw::vaCollection);
    for (const StoreImage& image : images) {
        const size_t expected = static_cast<size_t>(image.entry.width) * image.entry.height * 4;
        if (image.rgba.size() != expected)
            throw std::runtime_error(image.entry.id + ": pixel count does not match its size");
        out.WriteListBegin();
        out.WriteShortString("ResID");
        out.WriteString(image.entry.id);
        if (!image.entry.opaque) {
            // dmOpaque is the default draw mode and is not stored.
            out.WriteShortString("Bitmap.DrawMode");
            out.WriteIdent("dmBlend");
        }
        out.WriteShortString("Bitmap.ResamplerClassName");
        out.WriteString("TNearestResampler");
        out.WriteShortString("Bitmap.Data");
        WritePixels(out, image);
        out.WriteListEnd();
    }
    out.WriteListEnd();  // end of the collection
    out.WriteShortString("Left");
    out.WriteInteger(kListLeft);
    out.WriteShortString("Top");
    out.WriteInteger(kListTop);
    out.WriteListEnd();  // end of the image list's properties
    out.WriteListEnd();  // the image list has no children
    out.WriteListEnd();  // end of the data module's children
    return out.Take();
}

std::vector<StoreImage> LoadImages(const std::string& manifestPath)
{
    std::ifstream file(manifestPath, std::ios::binary);
    if (!file)
        throw std::runtime_error(manifestPath + ": cannot open the file");
    std::ostringstream text;
    text << file.rdbuf();
    std::vector<ManifestEntry> entries;
    try {
        entries = ParseManifest(text.str());
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(manifestPath + ": " + e.what());
    }

    const size_t slash = manifestPath.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "." : manifestPath.substr(0, slash);
    std::vector<StoreImage> images;
    for (ManifestEntry& entry : entries) {
        const std::string path = folder + "/" + entry.id + ".png";
        skingen::RgbaImage png = skingen::ReadPng(path);
        if (png.width != entry.width || png.height != entry.height)
            throw std::runtime_error(path + " is " + std::to_string(png.width) + " x " + std::to_string(png.height) +
                                     ", the manifest says " + std::to_string(entry.width) + " x " +
                                     std::to_string(entry.height));
        images.push_back({std::move(entry), std::move(png.pixels)});
    }
    return images;
}

}  // namespace ks::skinpack
