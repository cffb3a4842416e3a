// A small anti-aliased rasteriser for drawing the built-in skin images.
//
// Shapes are signed distance fields (negative inside) with conservative
// bounds; a pixel whose centre lies clearly inside or outside a shape is
// decided by one evaluation, edge pixels are supersampled 16 x 16. Shapes
// combine with |, & and - (union, intersection, difference), and any shape
// can be stroked or grown. A canvas keeps premultiplied floating-point RGBA
// and composites with source-over; soft shadows are a gaussian blur of a
// shape's coverage. Everything is plain float arithmetic in a fixed order,
// so the same build produces the same bytes on every run.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ks::skingen {

// A colour with straight alpha, every channel in 0..1.
struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with the given alpha.
constexpr Color Rgb(std::uint32_t rgb, float alpha = 1.0f)
{
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, alpha};
}
constexpr Color WithAlpha(Color c, float alpha)
{
    c.a = alpha;
    return c;
}
// Channel-wise mix of straight colours, t = 0 gives a.
Color Mix(Color a, Color b, float t);

struct Point {
    float x = 0, y = 0;
};

struct Bounds {
    float x0, y0, x1, y1;
    static Bounds Infinite();
    Bounds Grown(float r) const { return {x0 - r, y0 - r, x1 + r, y1 + r}; }
};

class Shape {
public:
    using Field = std::function<float(float, float)>;

    // exactInside: a negative value is never deeper than the true depth, so
    // "clearly inside" can be trusted (false after taking |d| of a CSG result).
    Shape(Field field, Bounds bounds, bool exactInside = true);

    float Distance(float x, float y) const { return (*m_field)(x, y); }
    const Bounds& Box() const { return m_bounds; }
    bool ExactInside() const { return m_exactInside; }

    // A band of the given width centred on the outline.
    Shape Stroke(float width) const;
    // Grown outwards by r (shrunk for a negative r).
    Shape Grown(float r) const;
    Shape Moved(float dx, float dy) const;

    friend Shape operator|(const Shape& a, const Shape& b);
    friend Shape operator&(const Shape& a, const Shape& b);
    friend Shape operator-(const Shape& a, const Shape& b);

private:
    std::shared_ptr<const Field> m_field;
    Bounds m_bounds;
    bool m_exactInside;
};

Shape RectShape(float x, float y, float w, float h);
Shape RoundRect(float x, float y, float w, float h, float r);
Shape RoundRect(float x, float y, float w, float h, float rTopLeft, float rTopRight, float rBottomRight,
                float rBottomLeft);
Shape Circle(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
// A straight line of the given width, with round or flat (butt) ends.
Shape Line(Point a, Point b, float width, bool roundCaps = true);
// Connected line segments with round joins and caps.
Shape Polyline(const std::vector<Point>& points, float width);
// A filled polygon (even-odd rule).
Shape Polygon(const std::vector<Point>& points);
Shape Everything();

// A fill: the straight colour at a point.
using Paint = std::function<Color(float, float)>;

Paint Solid(Color c);
// Stops are (offset 0..1, colour), ascending; colours are interpolated with
// premultiplied alpha so that fading to transparent keeps its hue.
using Stops = std::vector<std::pair<float, Color>>;
Paint LinearGradient(Point from, Point to, Stops stops);
Paint VerticalGradient(float y0, float y1, Color top, Color bottom);
Paint RadialGradient(Point centre, float radius, Stops stops);

// Coverage of a canvas-sized area, 0..1 per pixel.
class Mask {
public:
    Mask(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    float At(int x, int y) const { return m_values[static_cast<size_t>(y) * m_width + x]; }
    float& At(int x, int y) { return m_values[static_cast<size_t>(y) * m_width + x]; }
    // Separable gaussian blur; what lies outside the mask counts as empty.
    void Blur(float sigma);

private:
    int m_width, m_height;
    std::vector<float> m_values;
};

// One pixel with premultiplied alpha.
struct Premul {
    float r = 0, g = 0, b = 0, a = 0;
};

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    Mask Cover(const Shape& shape) const;

    void Fill(const Shape& shape, const Paint& paint, float opacity = 1.0f);
    void Fill(const Shape& shape, Color color, float opacity = 1.0f);
    void FillMask(const Mask& mask, const Paint& paint, float opacity = 1.0f);
    // A soft shadow: the shape moved by dx, dy, its coverage blurred.
    void Shadow(const Shape& shape, Color color, float sigma, float dx = 0, float dy = 0);
    // Removes what the shape covers (destination-out).
    void Erase(const Shape& shape, float amount = 1.0f);
    // Source-over of another canvas with its top-left at x, y.
    void Draw(const Canvas& src, int x, int y, float opacity = 1.0f);

    Premul& At(int x, int y) { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    const Premul& At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    Color Pixel(int x, int y) const;

    // Straight-alpha 8-bit RGBA, rows top to bottom. Pixels that end up fully
    // transparent carry the colour bytes of transparentRgb.
    std::vector<std::uint8_t> ToRgba8(std::uint32_t transparentRgb) const;

private:
    void Composite(int x, int y, Color c, float coverage);

    int m_width, m_height;
    std::vector<Premul> m_pixels;
};

// Coverage of one pixel (0..1).
float PixelCoverage(const Shape& shape, int px, int py);

}  // namespace ks::skingen
