#include "tools/skingen/LeafBackground.h"

#include "tools/skingen/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace ks::skingen {

namespace {

// A leaf outline: two arcs meeting at base and tip, turned by angle around
// its base at (x, y).
std::vector<Point> LeafOutline(float x, float y, float length, float width, float angle)
{
    std::vector<Point> points;
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const auto place = [&](float u, float v) { return Point{x + u * c - v * s, y + u * s + v * c}; };
    constexpr int kSteps = 24;
    // Base to tip along one side, then back along the other without repeating
    // the two shared points (a repeated vertex leaves streaks in the fill).
    for (int side : {1, -1}) {
        const int first = side > 0 ? 0 : 1;
        const int last = side > 0 ? kSteps : kSteps - 1;
        for (int i = first; i <= last; ++i) {
            const float t = side > 0 ? static_cast<float>(i) / kSteps : 1.0f - static_cast<float>(i) / kSteps;
            // Widest a little below the middle, pointed at the tip.
            const float half =
                width * 0.5f * std::pow(std::max(0.0f, std::sin(3.14159265f * t)), 0.8f) * (1.1f - 0.2f * t);
            points.push_back(place(t * length, side * half));
        }
    }
    return points;
}

void DrawLeaf(Canvas& canvas, float x, float y, float length, float angle, Color light, Color dark, float opacity)
{
    const float width = length * 0.42f;
    const Shape leaf = Polygon(LeafOutline(x, y, length, width, angle));
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const Point tip{x + length * c, y + length * s};
    canvas.Shadow(leaf, Rgb(0x2F5A2A, 0.18f * opacity), length * 0.06f, 2.0f, 3.0f);
    canvas.Fill(leaf, LinearGradient({x, y}, tip, {{0.0f, dark}, {1.0f, light}}), opacity);
    // The midrib and a few veins, a shade lighter than the blade.
    const Color vein = Mix(light, Rgb(0xFFFFFF), 0.35f);
    canvas.Fill(Line({x - c * length * 0.12f, y - s * length * 0.12f}, tip, length * 0.025f), vein, 0.8f * opacity);
    for (int i = 1; i <= 4; ++i) {
        const float t = 0.18f * static_cast<float>(i);
        const Point from{x + t * length * c, y + t * length * s};
        for (int side : {1, -1}) {
            const float a = angle + side * 0.75f;
            const float reach = width * (0.42f - 0.05f * static_cast<float>(i));
            canvas.Fill(
                Line(from, {from.x + reach * 1.3f * std::cos(a), from.y + reach * 1.3f * std::sin(a)}, length * 0.012f),
                vein, 0.55f * opacity);
        }
    }
}

}  // namespace

RgbaImage RenderLeafBackground()
{
    Canvas canvas(kLeafBackgroundWidth, kLeafBackgroundHeight);
    const Shape all = RectShape(0, 0, kLeafBackgroundWidth, kLeafBackgroundHeight);
    canvas.Fill(all, VerticalGradient(0, kLeafBackgroundHeight, Rgb(0xF3F8EC), Rgb(0xDDEBD2)));
    canvas.Fill(all, RadialGradient({620, 120}, 420, {{0.0f, Rgb(0xFFFFF4, 0.7f)}, {1.0f, Rgb(0xFFFFF4, 0.0f)}}));

    // Leaves in a fixed arrangement: base x, y, length, angle, hue pair, opacity.
    struct Placement {
        float x, y, length, angle;
        std::uint32_t light, dark;
        float opacity;
    };
    const Placement leaves[] = {
        {-30, 520, 260, -0.55f, 0x9CCB7A, 0x4E8A3A, 0.95f}, {40, 610, 220, -1.05f, 0xB5D98F, 0x5E9A45, 0.9f},
        {150, 600, 170, -1.45f, 0xA8D183, 0x4F8D3B, 0.85f}, {820, 80, 240, 2.6f, 0x9CCB7A, 0x4A8536, 0.9f},
        {830, 200, 180, 3.3f, 0xC2E09E, 0x6AA650, 0.8f},    {700, 640, 200, -2.2f, 0xB0D68A, 0x5A9642, 0.85f},
        {780, 560, 150, -2.7f, 0xC9E4A8, 0x72AC58, 0.75f},  {-20, 60, 150, 0.45f, 0xC2E09E, 0x6AA650, 0.7f},
        {360, 640, 120, -1.8f, 0xCFE8B3, 0x7DB463, 0.6f},   {520, -20, 110, 1.9f, 0xCFE8B3, 0x7DB463, 0.55f},
    };
    for (const Placement& p : leaves)
        DrawLeaf(canvas, p.x, p.y, p.length, p.angle, Rgb(p.light), Rgb(p.dark), p.opacity);

    RgbaImage image;
    image.width = kLeafBackgroundWidth;
    image.height = kLeafBackgroundHeight;
    image.pixels = canvas.ToRgba8(0xFFFFFF);
    return image;
}

void WriteJpeg(const std::string& path, const RgbaImage& image, int quality)
{
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw std::runtime_error(path + ": cannot write the file");

    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jerr.error_exit = [](j_common_ptr info) {
        char message[JMSG_LENGTH_MAX];
        (*info->err->format_message)(info, message);
        throw std::runtime_error(message);
    };
    struct Destroy {
        jpeg_compress_struct* c;
        ~Destroy() { jpeg_destroy_compress(c); }
    };
    jpeg_create_compress(&cinfo);
    Destroy destroy{&cinfo};
    jpeg_stdio_dest(&cinfo, file.get());
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(image.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint8_t* src = image.pixels.data() + static_cast<std::size_t>(cinfo.next_scanline) * image.width * 4;
        for (int x = 0; x < image.width; ++x)
            for (int c = 0; c < 3; ++c)
                row[static_cast<std::size_t>(x) * 3 + c] = src[x * 4 + c];
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    if (std::fflush(file.get()) != 0)
        throw std::runtime_error(path + ": cannot write the file");
}

}  // namespace ks::skingen
