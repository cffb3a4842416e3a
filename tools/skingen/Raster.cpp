#include "tools/skingen/Raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ks::skingen {

namespace {

constexpr float kHuge = 1.0e6f;
// Half the diagonal of a pixel, plus a margin: beyond this distance from the
// outline a pixel centre decides the whole pixel.
constexpr float kDecided = 0.75f;
constexpr int kSamples = 16;

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

Bounds Union(const Bounds& a, const Bounds& b)
{
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Bounds Intersection(const Bounds& a, const Bounds& b)
{
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

Premul ToPremul(Color c) { return {c.r * c.a, c.g * c.a, c.b * c.a, c.a}; }

Color FromPremul(Premul p)
{
    if (p.a <= 0)
        return {0, 0, 0, 0};
    return {Clamp01(p.r / p.a), Clamp01(p.g / p.a), Clamp01(p.b / p.a), Clamp01(p.a)};
}

Color Sample(const Stops& stops, float t)
{
    if (stops.empty())
        return {};
    if (t <= stops.front().first)
        return stops.front().second;
    if (t >= stops.back().first)
        return stops.back().second;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const float span = stops[i].first - stops[i - 1].first;
            const float u = span > 0 ? (t - stops[i - 1].first) / span : 1.0f;
            const Premul a = ToPremul(stops[i - 1].second);
            const Premul b = ToPremul(stops[i].second);
            return FromPremul(
                {a.r + (b.r - a.r) * u, a.g + (b.g - a.g) * u, a.b + (b.b - a.b) * u, a.a + (b.a - a.a) * u});
        }
    }
    return stops.back().second;
}

}  // namespace

Color Mix(Color a, Color b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Bounds Bounds::Infinite() { return {-kHuge, -kHuge, kHuge, kHuge}; }

// ---------------------------------------------------------------- shapes

Shape::Shape(Field field, Bounds bounds, bool exactInside)
    : m_field(std::make_shared<const Field>(std::move(field))),
      m_bounds(bounds),
      m_exactInside(exactInside)
{}

Shape Shape::Stroke(float width) const
{
    auto f = m_field;
    const float half = width / 2;
    // |d| of a field that is only a lower bound inside (CSG results) may
    // under-estimate the distance to the outline, so only "outside" stays safe.
    return Shape([f, half](float x, float y) { return std::fabs((*f)(x, y)) - half; }, m_bounds.Grown(half), false);
}

Shape Shape::Grown(float r) const
{
    auto f = m_field;
    return Shape([f, r](float x, float y) { return (*f)(x, y) - r; }, m_bounds.Grown(std::max(r, 0.0f)), m_exactInside);
}

Shape Shape::Moved(float dx, float dy) const
{
    auto f = m_field;
    return Shape([f, dx, dy](float x, float y) { return (*f)(x - dx, y - dy); },
                 {m_bounds.x0 + dx, m_bounds.y0 + dy, m_bounds.x1 + dx, m_bounds.y1 + dy}, m_exactInside);
}

Shape operator|(const Shape& a, const Shape& b)
{
    auto fa = a.m_field;
    auto fb = b.m_field;
    return Shape([fa, fb](float x, float y) { return std::min((*fa)(x, y), (*fb)(x, y)); },
                 Union(a.m_bounds, b.m_bounds), a.m_exactInside && b.m_exactInside);
}

Shape operator&(const Shape& a, const Shape& b)
{
    auto fa = a.m_field;
    auto fb = b.m_field;
    return Shape([fa, fb](float x, float y) { return std::max((*fa)(x, y), (*fb)(x, y)); },
                 Intersection(a.m_bounds, b.m_bounds), a.m_exactInside && b.m_exactInside);
}

Shape operator-(const Shape& a, const Shape& b)
{
    auto fa = a.m_field;
    auto fb = b.m_field;
    return Shape([fa, fb](float x, float y) { return std::max((*fa)(x, y), -(*fb)(x, y)); }, a.m_bounds,
                 a.m_exactInside && b.m_exactInside);
}

Shape RectShape(float x, float y, float w, float h) { return RoundRect(x, y, w, h, 0, 0, 0, 0); }

Shape RoundRect(float x, float y, float w, float h, float r) { return RoundRect(x, y, w, h, r, r, r, r); }

Shape RoundRect(float x, float y, float w, float h, float rTopLeft, float rTopRight, float rBottomRight,
                float rBottomLeft)
{
    const float cx = x + w / 2, cy = y + h / 2, hw = w / 2, hh = h / 2;
    const float limit = std::min(hw, hh);
    rTopLeft = std::min(rTopLeft, limit);
    rTopRight = std::min(rTopRight, limit);
    rBottomRight = std::min(rBottomRight, limit);
    rBottomLeft = std::min(rBottomLeft, limit);
    return Shape(
        [=](float px, float py) {
            const float dx = px - cx, dy = py - cy;
            // y grows downwards: dy < 0 is the top half.
            const float r = dx < 0 ? (dy < 0 ? rTopLeft : rBottomLeft) : (dy < 0 ? rTopRight : rBottomRight);
            const float qx = std::fabs(dx) - hw + r, qy = std::fabs(dy) - hh + r;
            return std::min(std::max(qx, qy), 0.0f) + Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) - r;
        },
        {x, y, x + w, y + h});
}

Shape Circle(float cx, float cy, float r)
{
    return Shape([=](float x, float y) { return Length(x - cx, y - cy) - r; }, {cx - r, cy - r, cx + r, cy + r});
}

Shape Ellipse(float cx, float cy, float rx, float ry)
{
    if (rx == ry)
        return Circle(cx, cy, rx);
    std::vector<Point> points;
    constexpr int kSteps = 128;
    for (int i = 0; i < kSteps; ++i) {
        const double t = 2.0 * 3.14159265358979323846 * i / kSteps;
        points.push_back({cx + rx * static_cast<float>(std::cos(t)), cy + ry * static_cast<float>(std::sin(t))});
    }
    return Polygon(points);
}

Shape Line(Point a, Point b, float width, bool roundCaps)
{
    const float half = width / 2;
    const float ex = b.x - a.x, ey = b.y - a.y;
    const float len = Length(ex, ey);
    const Bounds box{std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half,
                     std::max(a.y, b.y) + half};
    if (roundCaps || len == 0) {
        const float ee = ex * ex + ey * ey;
        return Shape(
            [=](float x, float y) {
                const float wx = x - a.x, wy = y - a.y;
                const float t = ee > 0 ? Clamp01((wx * ex + wy * ey) / ee) : 0.0f;
                return Length(wx - ex * t, wy - ey * t) - half;
            },
            box);
    }
    // A box along the segment: u runs along it, v across it.
    const float ux = ex / len, uy = ey / len;
    const float mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    return Shape(
        [=](float x, float y) {
            const float px = x - mx, py = y - my;
            const float u = std::fabs(px * ux + py * uy) - len / 2;
            const float v = std::fabs(-px * uy + py * ux) - half;
            return std::min(std::max(u, v), 0.0f) + Length(std::max(u, 0.0f), std::max(v, 0.0f));
        },
        box);
}

Shape Polyline(const std::vector<Point>& points, float width)
{
    if (points.size() < 2)
        return Line(points.empty() ? Point{} : points[0], points.empty() ? Point{} : points[0], width);
    Shape result = Line(points[0], points[1], width);
    for (size_t i = 2; i < points.size(); ++i)
        result = result | Line(points[i - 1], points[i], width);
    return result;
}

Shape Polygon(const std::vector<Point>& points)
{
    Bounds box{kHuge, kHuge, -kHuge, -kHuge};
    for (const Point& p : points)
        box = Union(box, {p.x, p.y, p.x, p.y});
    return Shape(
        [points](float x, float y) {
            const size_t n = points.size();
            float best = std::numeric_limits<float>::max();
            bool inside = false;
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                const Point& vi = points[i];
                const Point& vj = points[j];
                const float ex = vj.x - vi.x, ey = vj.y - vi.y;
                const float wx = x - vi.x, wy = y - vi.y;
                const float ee = ex * ex + ey * ey;
                const float t = ee > 0 ? Clamp01((wx * ex + wy * ey) / ee) : 0.0f;
                const float bx = wx - ex * t, by = wy - ey * t;
                best = std::min(best, bx * bx + by * by);
                const bool c1 = y >= vi.y, c2 = y<vj.y, c3 = ex * wy> ey * wx;
                if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
                    inside = !inside;
            }
            const float d = std::sqrt(best);
            return inside ? -d : d;
        },
        box);
}

Shape Everything()
{
    return Shape([](float, float) { return -kHuge; }, Bounds::Infinite());
}

// ---------------------------------------------------------------- paints

Paint Solid(Color c)
{
    return [c](float, float) { return c; };
}

Paint LinearGradient(Point from, Point to, Stops stops)
{
    const float dx = to.x - from.x, dy = to.y - from.y;
    const float dd = dx * dx + dy * dy;
    return [=](float x, float y) {
        const float t = dd > 0 ? ((x - from.x) * dx + (y - from.y) * dy) / dd : 0.0f;
        return Sample(stops, t);
    };
}

Paint VerticalGradient(float y0, float y1, Color top, Color bottom)
{
    return LinearGradient({0, y0}, {0, y1}, {{0.0f, top}, {1.0f, bottom}});
}

Paint RadialGradient(Point centre, float radius, Stops stops)
{
    return [=](float x, float y) { return Sample(stops, Length(x - centre.x, y - centre.y) / radius); };
}

// ---------------------------------------------------------------- masks

Mask::Mask(int width, int height)
    : m_width(width),
      m_height(height),
      m_values(static_cast<size_t>(width) * height, 0.0f)
{}

void Mask::Blur(float sigma)
{
    if (sigma <= 0)
        return;
    const int radius = static_cast<int>(std::ceil(sigma * 3));
    std::vector<float> kernel(2 * radius + 1);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        kernel[i + radius] = std::exp(-(i * i) / (2 * sigma * sigma));
        sum += kernel[i + radius];
    }
    for (float& k : kernel)
        k /= sum;

    std::vector<float> tmp(m_values.size(), 0.0f);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            float acc = 0;
            for (int i = -radius; i <= radius; ++i) {
                const int sx = x + i;
                if (sx >= 0 && sx < m_width)
                    acc += kernel[i + radius] * At(sx, y);
            }
            tmp[static_cast<size_t>(y) * m_width + x] = acc;
        }
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            float acc = 0;
            for (int i = -radius; i <= radius; ++i) {
                const int sy = y + i;
                if (sy >= 0 && sy < m_height)
                    acc += kernel[i + radius] * tmp[static_cast<size_t>(sy) * m_width + x];
            }
            At(x, y) = acc;
        }
}

// ---------------------------------------------------------------- canvas

float PixelCoverage(const Shape& shape, int px, int py)
{
    const float d = shape.Distance(px + 0.5f, py + 0.5f);
    if (d >= kDecided)
        return 0.0f;
    if (d <= -kDecided && shape.ExactInside())
        return 1.0f;
    int inside = 0;
    for (int j = 0; j < kSamples; ++j) {
        const float sy = py + (j + 0.5f) / kSamples;
        for (int i = 0; i < kSamples; ++i)
            if (shape.Distance(px + (i + 0.5f) / kSamples, sy) < 0)
                ++inside;
    }
    return static_cast<float>(inside) / (kSamples * kSamples);
}

Canvas::Canvas(int width, int height) : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height)
{}

Mask Canvas::Cover(const Shape& shape) const
{
    Mask mask(m_width, m_height);
    const Bounds& b = shape.Box();
    const int x0 = std::max(0, static_cast<int>(std::floor(b.x0)) - 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(b.y0)) - 1);
    const int x1 = std::min(m_width, static_cast<int>(std::ceil(b.x1)) + 1);
    const int y1 = std::min(m_height, static_cast<int>(std::ceil(b.y1)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            mask.At(x, y) = PixelCoverage(shape, x, y);
    return mask;
}

void Canvas::Composite(int x, int y, Color c, float coverage)
{
    const float a = Clamp01(c.a * coverage);
    if (a <= 0)
        return;
    Premul& d = At(x, y);
    const float keep = 1 - a;
    d.r = c.r * a + d.r * keep;
    d.g = c.g * a + d.g * keep;
    d.b = c.b * a + d.b * keep;
    d.a = a + d.a * keep;
}

void Canvas::Fill(const Shape& shape, const Paint& paint, float opacity)
{
    // Only the pixels within the shape's bounds can be touched.
    const Bounds& b = shape.Box();
    const int x0 = std::max(0, static_cast<int>(std::floor(b.x0)) - 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(b.y0)) - 1);
    const int x1 = std::min(m_width, static_cast<int>(std::ceil(b.x1)) + 1);
    const int y1 = std::min(m_height, static_cast<int>(std::ceil(b.y1)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float m = PixelCoverage(shape, x, y) * opacity;
            if (m > 0)
                Composite(x, y, paint(x + 0.5f, y + 0.5f), m);
        }
}

void Canvas::Fill(const Shape& shape, Color color, float opacity) { Fill(shape, Solid(color), opacity); }

void Canvas::FillMask(const Mask& mask, const Paint& paint, float opacity)
{
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            const float m = mask.At(x, y) * opacity;
            if (m > 0)
                Composite(x, y, paint(x + 0.5f, y + 0.5f), m);
        }
}

void Canvas::Shadow(const Shape& shape, Color color, float sigma, float dx, float dy)
{
    Mask mask = Cover(shape.Moved(dx, dy));
    mask.Blur(sigma);
    FillMask(mask, Solid(color));
}

void Canvas::Erase(const Shape& shape, float amount)
{
    const Mask mask = Cover(shape);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            const float keep = 1 - Clamp01(mask.At(x, y) * amount);
            Premul& d = At(x, y);
            d.r *= keep;
            d.g *= keep;
            d.b *= keep;
            d.a *= keep;
        }
}

void Canvas::Draw(const Canvas& src, int x, int y, float opacity)
{
    for (int sy = 0; sy < src.m_height; ++sy) {
        const int dy = y + sy;
        if (dy < 0 || dy >= m_height)
            continue;
        for (int sx = 0; sx < src.m_width; ++sx) {
            const int dx = x + sx;
            if (dx < 0 || dx >= m_width)
                continue;
            const Premul s = src.At(sx, sy);
            Premul& d = At(dx, dy);
            const float keep = 1 - s.a * opacity;
            d.r = s.r * opacity + d.r * keep;
            d.g = s.g * opacity + d.g * keep;
            d.b = s.b * opacity + d.b * keep;
            d.a = s.a * opacity + d.a * keep;
        }
    }
}

Color Canvas::Pixel(int x, int y) const { return FromPremul(At(x, y)); }

std::vector<std::uint8_t> Canvas::ToRgba8(std::uint32_t transparentRgb) const
{
    std::vector<std::uint8_t> out(m_pixels.size() * 4);
    auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); };
    for (size_t i = 0; i < m_pixels.size(); ++i) {
        const std::uint8_t a = byte(m_pixels[i].a);
        std::uint8_t* o = &out[i * 4];
        if (a == 0) {
            o[0] = static_cast<std::uint8_t>(transparentRgb >> 16);
            o[1] = static_cast<std::uint8_t>(transparentRgb >> 8);
            o[2] = static_cast<std::uint8_t>(transparentRgb);
            o[3] = 0;
            continue;
        }
        const Color c = FromPremul(m_pixels[i]);
        o[0] = byte(c.r);
        o[1] = byte(c.g);
        o[2] = byte(c.b);
        o[3] = a;
    }
    return out;
}

}  // namespace ks::skingen
