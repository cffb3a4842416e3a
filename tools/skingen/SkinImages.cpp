#include "tools/skingen/SkinImages.h"

#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>

namespace ks::skingen {

namespace {

// ------------------------------------------------------------------ palette
//
// One light palette for the whole skin: white and cool light greys for
// surfaces, a slate ink for glyphs, one soft blue accent and the title bar's
// lavender-pink tint.

constexpr Color kWhite = Rgb(0xFFFFFF);
constexpr Color kInk = Rgb(0x3C4250);       // glyphs on light surfaces
constexpr Color kInkSoft = Rgb(0x5F6673);   // secondary glyphs
constexpr Color kMuted = Rgb(0x8D949F);     // quiet glyphs
constexpr Color kDisabled = Rgb(0xC3C8D0);  // disabled glyphs
constexpr Color kBorder = Rgb(0xC4CAD3);    // control outlines
constexpr Color kBorderSoft = Rgb(0xDCE0E6);
constexpr Color kFaceTop = Rgb(0xFFFFFF);
constexpr Color kFaceBottom = Rgb(0xF1F3F6);
constexpr Color kAccent = Rgb(0x4A90E2);
constexpr Color kAccentDark = Rgb(0x3576C8);
constexpr Color kAccentDeep = Rgb(0x2C64AE);
constexpr Color kAccentSoft = Rgb(0x8DB5E8);     // hot outlines
constexpr Color kAccentPale = Rgb(0xEEF5FD);     // hot faces
constexpr Color kAccentPressed = Rgb(0xD8E6F7);  // pressed faces
constexpr Color kRed = Rgb(0xE81123);
constexpr Color kRedDark = Rgb(0xB80F1D);
constexpr Color kSoftRed = Rgb(0xE5484D);
constexpr Color kBlack = Rgb(0x000000);
constexpr Color kSlate = Rgb(0x56627A);  // translucent hover fills

constexpr std::uint32_t kWhiteRgb = 0xFFFFFF;
constexpr std::uint32_t kBlackRgb = 0x000000;

constexpr Color Translucent(Color c, float alpha) { return WithAlpha(c, alpha); }

// ------------------------------------------------------------------ helpers

// Draws count equal frames, left to right (or top to bottom), each in its
// own canvas so that nothing of one frame spills into the next.
void Frames(Canvas& c, int count, const std::function<void(Canvas&, int)>& draw, bool vertical = false)
{
    const int fw = vertical ? c.Width() : c.Width() / count;
    const int fh = vertical ? c.Height() / count : c.Height();
    for (int i = 0; i < count; ++i) {
        Canvas frame(fw, fh);
        draw(frame, i);
        c.Draw(frame, vertical ? 0 : i * fw, vertical ? i * fh : 0);
    }
}

// A 1-pixel outline lying exactly on the pixels inside the rectangle's edge.
Shape Outline(float x, float y, float w, float h, float r, float width = 1.0f)
{
    const float half = width / 2;
    return RoundRect(x + half, y + half, w - width, h - width, std::max(r - half, 0.0f)).Stroke(width);
}

Shape Cross(float cx, float cy, float half, float width)
{
    return Line({cx - half, cy - half}, {cx + half, cy + half}, width) |
           Line({cx - half, cy + half}, {cx + half, cy - half}, width);
}

Shape Check(float cx, float cy, float size, float width)
{
    // A tick whose short stroke meets the long one a little left of centre.
    return Polyline({{cx - 0.50f * size, cy + 0.02f * size},
                     {cx - 0.17f * size, cy + 0.34f * size},
                     {cx + 0.50f * size, cy - 0.34f * size}},
                    width);
}

enum class Dir { Left, Right, Up, Down };

// An open chevron pointing in dir; size is its extent along the pointing axis.
Shape Chevron(float cx, float cy, Dir dir, float size, float width)
{
    const float a = size / 2, b = size;
    switch (dir) {
    case Dir::Right:
        return Polyline({{cx - a, cy - b}, {cx + a, cy}, {cx - a, cy + b}}, width);
    case Dir::Left:
        return Polyline({{cx + a, cy - b}, {cx - a, cy}, {cx + a, cy + b}}, width);
    case Dir::Down:
        return Polyline({{cx - b, cy - a}, {cx, cy + a}, {cx + b, cy - a}}, width);
    case Dir::Up:
        return Polyline({{cx - b, cy + a}, {cx, cy - a}, {cx + b, cy + a}}, width);
    }
    return Everything();
}

// A solid triangle pointing in dir, base w, height h, centred on cx, cy.
Shape Arrowhead(float cx, float cy, Dir dir, float w, float h)
{
    switch (dir) {
    case Dir::Up:
        return Polygon({{cx, cy - h / 2}, {cx + w / 2, cy + h / 2}, {cx - w / 2, cy + h / 2}});
    case Dir::Down:
        return Polygon({{cx - w / 2, cy - h / 2}, {cx + w / 2, cy - h / 2}, {cx, cy + h / 2}});
    case Dir::Left:
        return Polygon({{cx - h / 2, cy}, {cx + h / 2, cy - w / 2}, {cx + h / 2, cy + w / 2}});
    case Dir::Right:
        return Polygon({{cx - h / 2, cy - w / 2}, {cx + h / 2, cy}, {cx - h / 2, cy + w / 2}});
    }
    return Everything();
}

// An arrow with a shaft, as on browser navigation buttons.
Shape Arrow(float cx, float cy, Dir dir, float length, float width)
{
    const float l = length / 2, head = length * 0.45f;
    switch (dir) {
    case Dir::Left:
        return Line({cx - l, cy}, {cx + l, cy}, width) |
               Polyline({{cx - l + head, cy - head}, {cx - l, cy}, {cx - l + head, cy + head}}, width);
    case Dir::Right:
        return Line({cx - l, cy}, {cx + l, cy}, width) |
               Polyline({{cx + l - head, cy - head}, {cx + l, cy}, {cx + l - head, cy + head}}, width);
    case Dir::Up:
        return Line({cx, cy - l}, {cx, cy + l}, width) |
               Polyline({{cx - head, cy - l + head}, {cx, cy - l}, {cx + head, cy - l + head}}, width);
    case Dir::Down:
        return Line({cx, cy - l}, {cx, cy + l}, width) |
               Polyline({{cx - head, cy + l - head}, {cx, cy + l}, {cx + head, cy + l - head}}, width);
    }
    return Everything();
}

// The usual face of a light control: a soft vertical gradient inside a
// 1-pixel outline.
struct Face {
    Color top, bottom, border;
};

constexpr Face kNormalFace{kFaceTop, kFaceBottom, kBorder};
constexpr Face kHotFace{Rgb(0xFAFCFF), Rgb(0xE6F0FC), kAccentSoft};
constexpr Face kPressedFace{Rgb(0xD3E2F5), Rgb(0xE1EBF8), Rgb(0x6C9BD6)};
constexpr Face kDisabledFace{Rgb(0xF7F8FA), Rgb(0xF3F4F6), Rgb(0xDEE1E6)};

void DrawFace(Canvas& c, float x, float y, float w, float h, float r, const Face& face)
{
    c.Fill(RoundRect(x, y, w, h, r), VerticalGradient(y, y + h, face.top, face.bottom));
    c.Fill(Outline(x, y, w, h, r), face.border);
}

// ------------------------------------------------------------------ check boxes and radio buttons

enum class Mark { None, Check, Dot };

// A check box or radio button face of the given box: state 0 normal, 1 hot.
void DrawToggle(Canvas& c, float x, float y, float size, bool round, bool on, bool hot, Mark mark)
{
    const float r = round ? size / 2 : 2.5f;
    if (on) {
        const Color top = hot ? Rgb(0x6AA8EE) : Rgb(0x5A9CE8);
        const Color bottom = hot ? Rgb(0x4B90E2) : Rgb(0x3D82D6);
        c.Fill(RoundRect(x, y, size, size, r), VerticalGradient(y, y + size, top, bottom));
        c.Fill(Outline(x, y, size, size, r), hot ? kAccent : kAccentDark);
    } else {
        const Face face = hot ? Face{kWhite, Rgb(0xEAF2FD), kAccent} : Face{kWhite, Rgb(0xF2F4F7), Rgb(0xA8B0BC)};
        DrawFace(c, x, y, size, size, r, face);
    }
    const float cx = x + size / 2, cy = y + size / 2;
    if (mark == Mark::Check)
        c.Fill(Check(cx, cy, size * 0.56f, 1.7f), kWhite);
    if (mark == Mark::Dot)
        c.Fill(Circle(cx, cy, size * 0.19f), kWhite);
}

// Frames: unchecked, unchecked hot, checked, checked hot.
void DrawCheckBox(Canvas& c)
{
    Frames(c, 4, [](Canvas& f, int i) {
        DrawToggle(f, 2, 2, 13, false, i >= 2, i % 2 == 1, i >= 2 ? Mark::Check : Mark::None);
    });
}

void DrawRadioButton(Canvas& c)
{
    Frames(c, 4, [](Canvas& f, int i) {
        DrawToggle(f, 2, 2, 13, true, i >= 2, i % 2 == 1, i >= 2 ? Mark::Dot : Mark::None);
    });
}

void DrawCheckedBox(Canvas& c) { DrawToggle(c, 1, 1, 13, false, true, false, Mark::Check); }
void DrawCheckedBoxHot(Canvas& c) { DrawToggle(c, 1, 1, 13, false, true, true, Mark::Check); }
void DrawUncheckedBox(Canvas& c) { DrawToggle(c, 1, 1, 13, false, false, false, Mark::None); }
void DrawUncheckedBoxHot(Canvas& c) { DrawToggle(c, 1, 1, 13, false, false, true, Mark::None); }

// ------------------------------------------------------------------ buttons

// Frames: normal, hot, pressed, disabled, focused.
void DrawButton(Canvas& c)
{
    Frames(c, 5, [](Canvas& f, int i) {
        const float w = static_cast<float>(f.Width()), h = static_cast<float>(f.Height()) - 1;
        const float r = 3;
        if (i != 2 && i != 3)
            f.Shadow(RoundRect(0, 0, w, h, r), Translucent(kBlack, 0.10f), 0.6f, 0, 1);
        const Face faces[] = {kNormalFace, kHotFace, kPressedFace, kDisabledFace, kNormalFace};
        DrawFace(f, 0, 0, w, h, r, faces[i]);
        if (i == 0 || i == 1 || i == 4)
            f.Fill(Line({3, 1.5f}, {w - 3, 1.5f}, 1, false), Translucent(kWhite, 0.9f));
        if (i == 4) {
            f.Fill(Outline(0, 0, w, h, r), kAccent);
            f.Fill(Outline(1, 1, w - 2, h - 2, r - 1), Translucent(kAccent, 0.28f));
        }
    });
}

// Transparent at rest; a soft rounded highlight when hot, deeper when pressed.
void DrawFlatStates(Canvas& c, int count, float radius, float hotFill, float pressedFill)
{
    Frames(c, count, [=](Canvas& f, int i) {
        if (i == 0)
            return;
        const float w = static_cast<float>(f.Width()), h = static_cast<float>(f.Height());
        const bool pressed = i == 2;
        f.Fill(RoundRect(0, 0, w, h, radius), Translucent(kAccent, pressed ? pressedFill : hotFill));
        f.Fill(Outline(0, 0, w, h, radius), Translucent(kAccentDark, pressed ? 0.62f : 0.42f));
        if (pressed)
            f.Fill(Line({radius, 1.5f}, {w - radius, 1.5f}, 1, false), Translucent(kAccentDeep, 0.12f));
    });
}

void DrawFlatButton(Canvas& c) { DrawFlatStates(c, 3, 3, 0.14f, 0.26f); }
void DrawToolButton(Canvas& c) { DrawFlatStates(c, 3, 4, 0.12f, 0.24f); }

// ------------------------------------------------------------------ title-bar buttons
//
// The buttons hang from the top edge of the title bar (their first row lies
// above the window), so a hot fill is square at the top and rounded below.

using Glyph = std::function<Shape(float cx, float cy)>;

void DrawCaptionButton(Canvas& c, bool close, const Glyph& glyph)
{
    Frames(c, 3, [&](Canvas& f, int i) {
        const float w = static_cast<float>(f.Width()), h = static_cast<float>(f.Height());
        const float cx = w / 2, cy = 10;
        if (i > 0) {
            const Shape back = RoundRect(0, 0, w, h, 0, 0, 3, 3);
            if (close)
                f.Fill(back, i == 1 ? kRed : kRedDark);
            else
                f.Fill(back, Translucent(kSlate, i == 1 ? 0.15f : 0.27f));
        }
        const Color ink = close && i > 0 ? kWhite : (i == 2 ? Rgb(0x262B36) : kInk);
        f.Fill(glyph(cx, cy), ink);
    });
}

void DrawCloseButton(Canvas& c)
{
    DrawCaptionButton(c, true, [](float cx, float cy) { return Cross(cx, cy, 4.5f, 1.3f); });
}

void DrawMaximizeButton(Canvas& c)
{
    DrawCaptionButton(c, false, [](float cx, float) { return Outline(cx - 5, 5, 10, 10, 1.5f); });
}

void DrawMinimizeButton(Canvas& c)
{
    DrawCaptionButton(c, false, [](float cx, float) { return RectShape(cx - 5, 10, 10, 1); });
}

void DrawRestoreButton(Canvas& c)
{
    DrawCaptionButton(c, false, [](float cx, float) {
        const Shape front = Outline(cx - 5, 7, 8, 8, 1.5f);
        const Shape back = Outline(cx - 3, 5, 8, 8, 1.5f) - RectShape(cx - 6, 6, 9, 10);
        return front | back;
    });
}

// ------------------------------------------------------------------ small close buttons

// Frames: normal, hot, pressed.
void DrawTipsClose(Canvas& c)
{
    Frames(c, 3, [](Canvas& f, int i) {
        const float cx = f.Width() / 2.0f, cy = f.Height() / 2.0f;
        if (i > 0)
            f.Fill(Circle(cx, cy, 8), Translucent(kSlate, i == 1 ? 0.13f : 0.24f));
        f.Fill(Cross(cx, cy, 3.5f, 1.3f), i == 0 ? kMuted : kInk);
    });
}

// Frames: normal, hot.
void DrawMiniClose(Canvas& c)
{
    Frames(c, 2, [](Canvas& f, int i) {
        const float cx = 6, cy = 6;
        if (i == 1)
            f.Fill(Circle(cx, cy, 5.8f), kSoftRed);
        f.Fill(Cross(cx, cy, i == 1 ? 2.1f : 2.8f, 1.15f), i == 1 ? kWhite : kMuted);
    });
}

void DrawCancel(Canvas& c, bool hot)
{
    c.Fill(Circle(9, 9, 7), hot ? kSoftRed : Rgb(0xBAC0C9));
    c.Fill(Cross(9, 9, 2.6f, 1.5f), kWhite);
}

void DrawCancelNormal(Canvas& c) { DrawCancel(c, false); }
void DrawCancelHot(Canvas& c) { DrawCancel(c, true); }

// ------------------------------------------------------------------ message icons

void DrawDisc(Canvas& c, Color top, Color bottom, Color rim)
{
    const Shape disc = Circle(20, 20, 17);
    c.Shadow(disc, Translucent(kBlack, 0.22f), 1.4f, 0, 1);
    c.Fill(disc, VerticalGradient(3, 37, top, bottom));
    c.Fill(Circle(20, 20, 16.5f).Stroke(1), Translucent(rim, 0.55f));
    // A faint sheen on the upper half.
    c.Fill(Ellipse(20, 12.5f, 12, 7.5f) & disc,
           VerticalGradient(5, 20, Translucent(kWhite, 0.22f), Translucent(kWhite, 0.0f)));
}

void DrawMsgError(Canvas& c)
{
    DrawDisc(c, Rgb(0xEF6A6E), Rgb(0xD8363C), Rgb(0xB3262C));
    c.Fill(Cross(20, 20, 6, 3.2f), kWhite);
}

void DrawMsgWarn(Canvas& c)
{
    const Shape tri = Polygon({{20, 7.5f}, {34.5f, 32.5f}, {5.5f, 32.5f}}).Grown(2.5f);
    c.Shadow(tri, Translucent(kBlack, 0.22f), 1.4f, 0, 1);
    c.Fill(tri, VerticalGradient(5, 35, Rgb(0xFBC55E), Rgb(0xF0A023)));
    c.Fill(tri.Stroke(1) & tri, Translucent(Rgb(0xC7800E), 0.6f));
    const Color ink = Rgb(0x4A3300);
    c.Fill(Line({20, 15}, {20, 24.5f}, 3.2f), ink);
    c.Fill(Circle(20, 29.6f, 1.9f), ink);
}

void DrawMsgInfo(Canvas& c)
{
    DrawDisc(c, Rgb(0x6DA8EE), Rgb(0x3B80D6), Rgb(0x2C68B6));
    c.Fill(Circle(20, 12.5f, 2.1f), kWhite);
    c.Fill(Line({20, 17.5f}, {20, 28.5f}, 3.4f), kWhite);
}

void DrawMsgOk(Canvas& c)
{
    DrawDisc(c, Rgb(0x5CC97B), Rgb(0x2FA255), Rgb(0x218544));
    c.Fill(Check(20.5f, 20.5f, 15, 3.2f), kWhite);
}

void DrawMsgQuestion(Canvas& c)
{
    DrawDisc(c, Rgb(0x8190EA), Rgb(0x5564D4), Rgb(0x4451B5));
    std::vector<Point> hook;
    const float cx = 20, cy = 15.5f, r = 5.2f;
    for (int deg = -200; deg <= 45; deg += 5) {
        const double t = deg * 3.14159265358979323846 / 180.0;
        hook.push_back({cx + r * static_cast<float>(std::cos(t)), cy + r * static_cast<float>(std::sin(t))});
    }
    hook.push_back({20, 22.5f});
    hook.push_back({20, 24});
    c.Fill(Polyline(hook, 3.2f), kWhite);
    c.Fill(Circle(20, 29.5f, 2.0f), kWhite);
}

// ------------------------------------------------------------------ borders and glows

// A frame edge: a 1-pixel outline with a glow around it, empty inside.
void DrawBorderPiece(Canvas& c, Color glow, float glowAlpha, Color line)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    const Shape body = RoundRect(3, 3, w - 6, h - 6, 3);
    c.Shadow(body.Grown(0.5f), Translucent(glow, glowAlpha), 1.6f);
    c.Erase(RoundRect(4, 4, w - 8, h - 8, 2));
    c.Fill(Outline(3, 3, w - 6, h - 6, 3), line);
}

void DrawBorderHot(Canvas& c) { DrawBorderPiece(c, Rgb(0x86C4FF), 0.9f, kAccent); }
void DrawBorderNormal(Canvas& c) { DrawBorderPiece(c, Rgb(0x9AA3B0), 0.35f, kBorder); }

// The soft shadow a layered border draws around a form. The image is
// nine-sliced by thirds around the form, which sits 8 pixels in from every
// edge (the border's default size); under the form it stays empty. The
// shadow is black with varying alpha, so it looks the same whether or not
// the pixels are premultiplied before they reach the screen.
void DrawFormShadow(Canvas& c, float ambientAlpha, float ambientSigma, float keyAlpha, float drop, float edgeAlpha)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    const Shape form = RoundRect(8, 8, w - 16, h - 16, 3);
    c.Shadow(form.Grown(1), Translucent(kBlack, ambientAlpha), ambientSigma, 0, drop);
    c.Shadow(form.Grown(1), Translucent(kBlack, keyAlpha), 1.0f, 0, drop * 0.5f);
    c.Erase(form);
    if (edgeAlpha > 0)
        c.Fill(Outline(7, 7, w - 14, h - 14, 4), Translucent(kBlack, edgeAlpha));
}

void DrawPreviewGlow(Canvas& c) { DrawFormShadow(c, 0.62f, 2.8f, 0.30f, 2.0f, 0.10f); }
void DrawBorderGlow(Canvas& c) { DrawFormShadow(c, 0.45f, 2.6f, 0.22f, 1.0f, 0.0f); }

// ------------------------------------------------------------------ popup menus

// Nine-sliced by thirds over the whole menu window: the 52 columns on the
// left (with the icon gutter) and right and the 12 rows at the top and
// bottom keep their size, the middle is repeated.
void DrawMenuBackground(Canvas& c)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    const Shape panel = RoundRect(0, 0, w, h, 3);
    c.Fill(panel, kWhite);
    c.Fill(RectShape(1, 1, 31, h - 2) & panel, Rgb(0xF4F5F9));
    c.Fill(RectShape(32, 1, 1, h - 2), Rgb(0xE6E8EE));
    c.Fill(Outline(0, 0, w, h, 3), Rgb(0xC3C9D3));
}

// The selected item, drawn under white text.
void DrawMenuHilight(Canvas& c)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    c.Fill(RoundRect(0, 0, w, h, 3), VerticalGradient(0, h, Rgb(0x5B9CE8), Rgb(0x4387DB)));
    c.Fill(Line({3, 1.5f}, {w - 3, 1.5f}, 1, false), Translucent(kWhite, 0.18f));
    c.Fill(Outline(0, 0, w, h, 3), Rgb(0x3A78CB));
}

// Frames: normal, hot (on the hilight), disabled.
constexpr Color kMarkInk[3] = {kAccentDark, kWhite, kDisabled};

void DrawMenuSubArrow(Canvas& c)
{
    Frames(c, 3,
           [](Canvas& f, int i) { f.Fill(Chevron(3.5f, 5.5f, Dir::Right, 3, 1.4f), i == 0 ? kInkSoft : kMarkInk[i]); });
}

void DrawMenuCheck(Canvas& c)
{
    Frames(c, 3, [](Canvas& f, int i) { f.Fill(Check(10, 10, 10, 1.7f), kMarkInk[i]); });
}

void DrawMenuRadio(Canvas& c)
{
    Frames(c, 3, [](Canvas& f, int i) { f.Fill(Circle(10, 10, 3.5f), kMarkInk[i]); });
}

// A drop-down list panel: white, a fine outline and a small shadow.
void DrawDropdownMenu(Canvas& c)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    const Shape panel = RoundRect(2, 1, w - 4, h - 4, 3);
    c.Shadow(panel, Translucent(kBlack, 0.16f), 1.2f, 0, 1);
    c.Fill(panel, kWhite);
    c.Fill(Outline(2, 1, w - 4, h - 4, 3), Rgb(0xC3C9D3));
}

// ------------------------------------------------------------------ tabs

// The selected tab: opaque, white, an accent bar on top.
void DrawTabDown(Canvas& c)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    c.Fill(RectShape(0, 0, w, h), kWhite);
    c.Fill(RectShape(0, 0, 1, h), Rgb(0xD3D8E0));
    c.Fill(RectShape(w - 1, 0, 1, h), Rgb(0xD3D8E0));
    c.Fill(RectShape(0, 0, w, 2), kAccent);
}

void DrawTabHover(Canvas& c)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    const Shape tab = RoundRect(0, 0, w, h + 4, 3, 3, 0, 0);
    c.Fill(tab, VerticalGradient(0, h, Translucent(kWhite, 0.85f), Translucent(kWhite, 0.55f)));
    c.Fill(Outline(0, 0, w, h + 4, 3) & RectShape(0, 0, w, h), Translucent(Rgb(0xC9CFD8), 0.9f));
    c.Fill(RectShape(0, 0, w, 2) & tab, Translucent(kAccent, 0.45f));
}

void DrawTabButton(Canvas& c, const Face& face)
{
    DrawFace(c, 0, 0, static_cast<float>(c.Width()), static_cast<float>(c.Height()), 3, face);
}

void DrawTabButtonNormal(Canvas& c) { DrawTabButton(c, kNormalFace); }
void DrawTabButtonHot(Canvas& c) { DrawTabButton(c, kHotFace); }
void DrawTabButtonDown(Canvas& c) { DrawTabButton(c, kPressedFace); }

// ------------------------------------------------------------------ progress bar

void DrawBarBase(Canvas& c)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    c.Fill(RoundRect(0, 0, w, h, h / 2), VerticalGradient(0, h, Rgb(0xDCE0E6), Rgb(0xEDEFF3)));
    c.Fill(Outline(0, 0, w, h, h / 2), Rgb(0xCBD1D9));
}

void DrawBarCur(Canvas& c)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    c.Fill(RoundRect(0, 0, w, h, h / 2), VerticalGradient(0, h, Rgb(0x6EABF0), Rgb(0x3E84D9)));
    c.Fill(RoundRect(2, 1.5f, w - 4, 4.5f, 2.25f), Translucent(kWhite, 0.28f));
    c.Fill(Outline(0, 0, w, h, h / 2), Translucent(kAccentDark, 0.85f));
}

// ------------------------------------------------------------------ scroll bars

constexpr Color kThumb[3] = {Rgb(0xC3C8D0), Rgb(0xA6ADB8), Rgb(0x8A929F)};  // normal, highlight, down

void DrawVThumb(Canvas& c, int state)
{
    c.Fill(RoundRect(2, 1, 6, static_cast<float>(c.Height()) - 2, 3), kThumb[state]);
}

void DrawHThumb(Canvas& c, int state)
{
    c.Fill(RoundRect(1, 2, static_cast<float>(c.Width()) - 2, 6, 3), kThumb[state]);
}

void DrawVThumbDown(Canvas& c) { DrawVThumb(c, 2); }
void DrawVThumbHighlight(Canvas& c) { DrawVThumb(c, 1); }
void DrawVThumbNormal(Canvas& c) { DrawVThumb(c, 0); }
void DrawHThumbDown(Canvas& c) { DrawHThumb(c, 2); }
void DrawHThumbHighlight(Canvas& c) { DrawHThumb(c, 1); }
void DrawHThumbNormal(Canvas& c) { DrawHThumb(c, 0); }

void DrawVTrack(Canvas& c) { c.Fill(RoundRect(1, 1, 8, static_cast<float>(c.Height()) - 2, 4), Rgb(0xEEF0F3)); }
void DrawHTrack(Canvas& c) { c.Fill(RoundRect(1, 1, static_cast<float>(c.Width()) - 2, 8, 4), Rgb(0xEEF0F3)); }

// state 0 normal, 1 highlight, 2 down.
void DrawScrollArrow(Canvas& c, Dir dir, int state)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    if (state > 0)
        c.Fill(RoundRect(0, 0, w, h, 2), state == 1 ? Rgb(0xE3E6EB) : Rgb(0xCDD2D9));
    const bool vertical = dir == Dir::Up || dir == Dir::Down;
    const Color ink = state == 0 ? Rgb(0x979EA9) : (state == 1 ? kInkSoft : kInk);
    c.Fill(Arrowhead(w / 2, h / 2, dir, vertical ? 6.0f : 6.0f, 3.5f), ink);
}

void DrawArrowDownNormal(Canvas& c) { DrawScrollArrow(c, Dir::Down, 0); }
void DrawArrowUpNormal(Canvas& c) { DrawScrollArrow(c, Dir::Up, 0); }
void DrawArrowLeftNormal(Canvas& c) { DrawScrollArrow(c, Dir::Left, 0); }
void DrawArrowRightNormal(Canvas& c) { DrawScrollArrow(c, Dir::Right, 0); }
void DrawArrowDownDown(Canvas& c) { DrawScrollArrow(c, Dir::Down, 2); }
void DrawArrowDownHighlight(Canvas& c) { DrawScrollArrow(c, Dir::Down, 1); }
void DrawArrowLeftDown(Canvas& c) { DrawScrollArrow(c, Dir::Left, 2); }
void DrawArrowLeftHighlight(Canvas& c) { DrawScrollArrow(c, Dir::Left, 1); }
void DrawArrowRightDown(Canvas& c) { DrawScrollArrow(c, Dir::Right, 2); }
void DrawArrowRightHighlight(Canvas& c) { DrawScrollArrow(c, Dir::Right, 1); }
void DrawArrowUpDown(Canvas& c) { DrawScrollArrow(c, Dir::Up, 2); }
void DrawArrowUpHighlight(Canvas& c) { DrawScrollArrow(c, Dir::Up, 1); }

// ------------------------------------------------------------------ edits and small icons

void DrawSliderThumb(Canvas& c)
{
    const Shape body = RoundRect(1, 1, 10, 18, 3);
    c.Shadow(body, Translucent(kBlack, 0.18f), 0.8f, 0, 1);
    DrawFace(c, 1, 1, 10, 18, 3, Face{kWhite, Rgb(0xEEF1F5), Rgb(0xA8B0BC)});
    for (int i = 0; i < 3; ++i)
        c.Fill(RectShape(4, 7.0f + 2 * i, 4, 1), Rgb(0xB4BBC6));
}

void DrawPasswordChar(Canvas& c) { c.Fill(Circle(3, 3, 2.6f), kInk); }

void DrawKeyboard(Canvas& c)
{
    c.Fill(Outline(1, 4, 18, 12, 2), kInkSoft);
    for (int row = 0; row < 2; ++row)
        for (int k = 0; k < 4; ++k)
            c.Fill(RectShape(4.0f + 3 * k, 6.0f + 3 * row, 2, 2), kInkSoft);
    c.Fill(RectShape(6, 12, 8, 2), kInkSoft);
}

// The arrow part of a combo box: a separator and a chevron; hot adds a face.
void DrawDropArrow(Canvas& c, bool hot)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    if (hot) {
        c.Fill(RoundRect(1, 1, w - 2, h - 2, 2.5f), Translucent(kAccent, 0.14f));
        c.Fill(Outline(1, 1, w - 2, h - 2, 2.5f), Translucent(kAccentDark, 0.38f));
    } else {
        c.Fill(RectShape(0, 5, 1, h - 10), kBorderSoft);
    }
    c.Fill(Chevron(w / 2, h / 2, Dir::Down, 3.5f, 1.5f), hot ? kAccentDark : kInkSoft);
}

void DrawDropArrowHot(Canvas& c) { DrawDropArrow(c, true); }
void DrawDropArrowNormal(Canvas& c) { DrawDropArrow(c, false); }

void DrawExpand(Canvas& c, bool plus)
{
    DrawFace(c, 4, 4, 9, 9, 1.5f, Face{kWhite, Rgb(0xEDF0F4), Rgb(0xA8B0BC)});
    c.Fill(RectShape(6, 8, 5, 1), kInkSoft);
    if (plus)
        c.Fill(RectShape(8, 6, 1, 5), kInkSoft);
}

void DrawExpandPlus(Canvas& c) { DrawExpand(c, true); }
void DrawExpandMinus(Canvas& c) { DrawExpand(c, false); }

void DrawDragFlag(Canvas& c)
{
    // A size grip: six dots in a triangle, each with a light shadow.
    const int dots[6][2] = {{6, 2}, {4, 4}, {6, 4}, {2, 6}, {4, 6}, {6, 6}};
    for (const auto& d : dots)
        c.Fill(RectShape(d[0] + 1.0f, d[1] + 1.0f, 1, 1), kWhite);
    for (const auto& d : dots)
        c.Fill(RectShape(static_cast<float>(d[0]), static_cast<float>(d[1]), 1, 1), kMuted);
}

void DrawSearchIcon(Canvas& c)
{
    c.Fill(Circle(6.5f, 6, 4.3f).Stroke(1.5f), kInkSoft);
    c.Fill(Line({9.7f, 9.2f}, {13.6f, 12.8f}, 1.9f), kInkSoft);
}

void DrawCalendar(Canvas& c, bool hot)
{
    const Color ink = hot ? kAccentDark : kInkSoft;
    c.Fill(Outline(6, 2, 13, 13, 2), ink);
    c.Fill(RectShape(7, 3, 11, 2), ink);
    c.Fill(Line({9.5f, 1}, {9.5f, 3.5f}, 1.2f, false), ink);
    c.Fill(Line({15.5f, 1}, {15.5f, 3.5f}, 1.2f, false), ink);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            c.Fill(RectShape(9.0f + 3 * col, 8.0f + 3 * row, 1, 1), ink);
}

void DrawCalendarNormal(Canvas& c) { DrawCalendar(c, false); }
void DrawCalendarHot(Canvas& c) { DrawCalendar(c, true); }

// state 0 normal, 1 highlight, 2 pushed.
void DrawSpin(Canvas& c, bool up, int state)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    const Face faces[] = {kNormalFace, kHotFace, kPressedFace};
    DrawFace(c, 0, 0, w, h, 2, faces[state]);
    const Color ink[] = {kInkSoft, kAccentDark, kAccentDeep};
    c.Fill(Arrowhead(w / 2, h / 2, up ? Dir::Up : Dir::Down, 7, 3.5f), ink[state]);
}

void DrawSpinNormalUp(Canvas& c) { DrawSpin(c, true, 0); }
void DrawSpinHighlightUp(Canvas& c) { DrawSpin(c, true, 1); }
void DrawSpinPushedUp(Canvas& c) { DrawSpin(c, true, 2); }
void DrawSpinNormalDown(Canvas& c) { DrawSpin(c, false, 0); }
void DrawSpinHighlightDown(Canvas& c) { DrawSpin(c, false, 1); }
void DrawSpinPushedDown(Canvas& c) { DrawSpin(c, false, 2); }

// ------------------------------------------------------------------ switches

// Frames: normal, hot, disabled.
void DrawSwitch(Canvas& c, bool on)
{
    Frames(c, 3, [on](Canvas& f, int i) {
        Canvas s(f.Width(), f.Height());
        const Shape track = RoundRect(2, 1, 30, 15, 7.5f);
        const bool hot = i == 1;
        if (on)
            s.Fill(track,
                   VerticalGradient(1, 16, hot ? Rgb(0x6AA8EE) : Rgb(0x5A9CE8), hot ? Rgb(0x4B90E2) : Rgb(0x3D82D6)));
        else
            s.Fill(track,
                   VerticalGradient(1, 16, hot ? Rgb(0xB9C0CA) : Rgb(0xC9CED6), hot ? Rgb(0xC6CCD5) : Rgb(0xD5D9E0)));
        const float knobX = on ? 24.5f : 9.5f;
        const Shape knob = Circle(knobX, 8.5f, 5.5f);
        s.Shadow(knob, Translucent(kBlack, 0.25f), 0.8f, 0, 0.6f);
        s.Fill(knob, VerticalGradient(3, 14, kWhite, Rgb(0xF3F5F8)));
        f.Draw(s, 0, 0, i == 2 ? 0.45f : 1.0f);
    });
}

void DrawSwitchOn(Canvas& c) { DrawSwitch(c, true); }
void DrawSwitchOff(Canvas& c) { DrawSwitch(c, false); }

// ------------------------------------------------------------------ colour tabs

// Nine swatches of the skin colours a user can pick.
void DrawColorTabs(Canvas& c)
{
    static const std::uint32_t kSwatches[9] = {0x4A90E2, 0x8E7CC3, 0xE58CA6, 0x36B0A4, 0x5DB761,
                                               0xF0AE35, 0xEC7456, 0x6B7A90, 0x3C4250};
    Frames(c, 9, [](Canvas& f, int i) {
        const Color base = Rgb(kSwatches[i]);
        const Shape tile = RoundRect(5, 4, 30, 30, 5);
        f.Shadow(tile, Translucent(kBlack, 0.18f), 1.2f, 0, 1);
        f.Fill(tile, VerticalGradient(4, 34, Mix(base, kWhite, 0.22f), base));
        f.Fill(RoundRect(7, 5.5f, 26, 10, 4), Translucent(kWhite, 0.16f));
        f.Fill(Outline(5, 4, 30, 30, 5), Translucent(Mix(base, kBlack, 0.35f), 0.45f));
    });
}

// ------------------------------------------------------------------ browser buttons

// Frames: normal, hot, pressed, disabled.
void DrawBrowserButtons(Canvas& c, Dir dir)
{
    const bool vertical = dir == Dir::Up || dir == Dir::Down;
    Frames(
        c, 4,
        [dir](Canvas& f, int i) {
            const float cx = f.Width() / 2.0f, cy = f.Height() / 2.0f;
            const Shape disc = Circle(cx, cy, 11.5f);
            const Face faces[] = {kNormalFace, kHotFace, kPressedFace, kDisabledFace};
            const Color ink[] = {kInkSoft, kAccentDark, kAccentDeep, kDisabled};
            if (i < 2)
                f.Shadow(disc, Translucent(kBlack, 0.10f), 0.7f, 0, 0.8f);
            f.Fill(disc, VerticalGradient(cy - 11.5f, cy + 11.5f, faces[i].top, faces[i].bottom));
            f.Fill(Circle(cx, cy, 11).Stroke(1), faces[i].border);
            f.Fill(Arrow(cx, cy, dir, 10, 1.8f), ink[i]);
        },
        vertical);
}

void DrawBrowserBack(Canvas& c) { DrawBrowserButtons(c, Dir::Left); }
void DrawBrowserFront(Canvas& c) { DrawBrowserButtons(c, Dir::Right); }
void DrawBrowserUp(Canvas& c) { DrawBrowserButtons(c, Dir::Up); }
void DrawBrowserDown(Canvas& c) { DrawBrowserButtons(c, Dir::Down); }

// ------------------------------------------------------------------ slides

// Frames: previous, previous hot, next, next hot; laid over pictures.
void DrawSlides(Canvas& c)
{
    Frames(c, 4, [](Canvas& f, int i) {
        const bool hot = i % 2 == 1;
        const bool next = i >= 2;
        const Shape pad = RoundRect(4, 2, 32, 65, 6);
        f.Fill(pad, Translucent(Rgb(0x1E2633), hot ? 0.50f : 0.28f));
        f.Fill(Chevron(next ? 21.5f : 18.5f, 34.5f, next ? Dir::Right : Dir::Left, 8, 2.6f),
               Translucent(kWhite, hot ? 1.0f : 0.9f));
    });
}

// ------------------------------------------------------------------ application tile

void DrawFav(Canvas& c)
{
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    const Shape all = RectShape(0, 0, w, h);
    c.Fill(all, LinearGradient({0, 0}, {w, h}, {{0.0f, Rgb(0x78B2F4)}, {1.0f, Rgb(0x3C6CD4)}}));
    c.Fill(all, RadialGradient({w * 0.25f, h * 0.18f}, w * 0.9f,
                               {{0.0f, Translucent(kWhite, 0.28f)}, {1.0f, Translucent(kWhite, 0.0f)}}));
    // Two faint rings from the lower right corner.
    c.Fill(Circle(w, h, 58).Stroke(10), Translucent(kWhite, 0.07f));
    c.Fill(Circle(w, h, 82).Stroke(8), Translucent(kWhite, 0.05f));

    const Shape letter = RoundRect(28, 28, 64, 15, 7.5f) | RoundRect(52.5f, 28, 15, 64, 7.5f);
    c.Shadow(letter, Translucent(Rgb(0x1A2F66), 0.35f), 3.0f, 0, 2.5f);
    c.Fill(letter, VerticalGradient(28, 92, kWhite, Rgb(0xEEF2FB)));
    c.Fill(Circle(82, 80, 7.5f), Rgb(0xF7C9D2));
}

// ------------------------------------------------------------------ the table

const std::vector<SkinImageRecipe> kTable = {
    {"KsSkinCheckBox", 68, 17, false, kWhiteRgb, DrawCheckBox},
    {"KsSkinButton", 340, 27, false, kWhiteRgb, DrawButton},
    {"KsSkinRadiobtn", 68, 17, false, kWhiteRgb, DrawRadioButton},
    {"KsSkinDropdownMenu", 60, 32, false, kWhiteRgb, DrawDropdownMenu},
    {"KsSkinFlatBtn", 66, 22, false, kWhiteRgb, DrawFlatButton},
    {"KsSkinMsgIcon_Error", 40, 40, false, kWhiteRgb, DrawMsgError},
    {"KsSkinMsgIcon_Warn", 40, 40, false, kWhiteRgb, DrawMsgWarn},
    {"KsSkinMsgIcon_Info", 40, 40, false, kWhiteRgb, DrawMsgInfo},
    {"KsSkinMsgIcon_OK", 40, 40, false, kWhiteRgb, DrawMsgOk},
    {"KsSkinMsgIcon_Question", 40, 40, false, kWhiteRgb, DrawMsgQuestion},
    {"KsSkinBorderHot", 20, 26, false, kWhiteRgb, DrawBorderHot},
    {"KsSkinBorderNormal", 20, 26, false, kWhiteRgb, DrawBorderNormal},
    {"KsSkinBtn_close", 117, 19, false, kWhiteRgb, DrawCloseButton},
    {"KsSkinBtn_max", 84, 19, false, kWhiteRgb, DrawMaximizeButton},
    {"KsSkinBtn_mini", 84, 19, false, kWhiteRgb, DrawMinimizeButton},
    {"KsSkinBtn_restore", 84, 19, false, kWhiteRgb, DrawRestoreButton},
    {"KsSkinTips_close", 54, 18, false, kWhiteRgb, DrawTipsClose},
    {"KsSkinSlider_dragBackground", 12, 21, false, kWhiteRgb, DrawSliderThumb},
    // The two form shadows go straight to layered windows; their empty
    // pixels are black so that they stay invisible even unpremultiplied.
    {"KsSkinPreview_bkg", 60, 134, false, kBlackRgb, DrawPreviewGlow},
    {"KsSkinSlider_Aio_light_bkg", 60, 134, false, kBlackRgb, DrawBorderGlow},
    {"KsSkinPasswordchar", 6, 6, false, kWhiteRgb, DrawPasswordChar},
    {"KsSkinKeyboard", 20, 20, false, kWhiteRgb, DrawKeyboard},
    {"KsSkinDrop_arrow_hot", 23, 24, false, kWhiteRgb, DrawDropArrowHot},
    {"KsSkinDrop_arrow_normal", 23, 24, false, kWhiteRgb, DrawDropArrowNormal},
    {"KsSkinExpand_1", 17, 17, false, kWhiteRgb, DrawExpandPlus},
    {"KsSkinExpand_2", 17, 17, false, kWhiteRgb, DrawExpandMinus},
    {"KsSkinCancel_18_Normal", 18, 18, false, kWhiteRgb, DrawCancelNormal},
    {"KsSkinCancel_18_Hot", 18, 18, false, kWhiteRgb, DrawCancelHot},
    {"KsSkinMenu_bk", 157, 38, false, kWhiteRgb, DrawMenuBackground},
    {"KsSkinMenu_hilight", 22, 22, false, kWhiteRgb, DrawMenuHilight},
    {"KsSkinMenu_sub_arrow", 21, 11, false, kWhiteRgb, DrawMenuSubArrow},
    {"KsSkinMenu_icon_check", 60, 20, false, kWhiteRgb, DrawMenuCheck},
    {"KsSkinMenu_icon_radio", 60, 20, false, kWhiteRgb, DrawMenuRadio},
    {"KsSkinTabDown", 10, 35, true, kWhiteRgb, DrawTabDown},
    {"KsSkinTabHover", 10, 35, false, kWhiteRgb, DrawTabHover},
    {"KsSkinTab_button_normal", 10, 25, false, kWhiteRgb, DrawTabButtonNormal},
    {"KsSkinTab_button_hot", 10, 25, false, kWhiteRgb, DrawTabButtonHot},
    {"KsSkinTab_button_down", 10, 25, false, kWhiteRgb, DrawTabButtonDown},
    {"KsSkinBar_base", 102, 13, false, kWhiteRgb, DrawBarBase},
    {"KsSkinBar_cur", 102, 13, false, kWhiteRgb, DrawBarCur},
    {"KsSkinScrollbar_bar_down", 10, 42, false, kWhiteRgb, DrawVThumbDown},
    {"KsSkinScrollbar_bar_highlight", 10, 42, false, kWhiteRgb, DrawVThumbHighlight},
    {"KsSkinScrollbar_bar_normal", 10, 42, false, kWhiteRgb, DrawVThumbNormal},
    {"KsSkinScrollbar_bkg", 10, 62, false, kWhiteRgb, DrawVTrack},
    {"KsSkinScrollbar_arrowdown_normal", 10, 9, false, kWhiteRgb, DrawArrowDownNormal},
    {"KsSkinScrollbar_arrowup_normal", 10, 9, false, kWhiteRgb, DrawArrowUpNormal},
    {"KsSkinScrollbar_horz_bkg", 34, 10, false, kWhiteRgb, DrawHTrack},
    {"KsSkinScrollbar_horzbar_down", 34, 10, false, kWhiteRgb, DrawHThumbDown},
    {"KsSkinScrollbar_horzbar_highlight", 34, 10, false, kWhiteRgb, DrawHThumbHighlight},
    {"KsSkinScrollbar_horzbar_normal", 34, 10, false, kWhiteRgb, DrawHThumbNormal},
    {"KsSkinScrollbar_arrowleft_normal", 9, 10, false, kWhiteRgb, DrawArrowLeftNormal},
    {"KsSkinScrollbar_arrowright_normal", 9, 10, false, kWhiteRgb, DrawArrowRightNormal},
    {"KsSkinScrollbar_arrowdown_down", 10, 9, false, kWhiteRgb, DrawArrowDownDown},
    {"KsSkinScrollbar_arrowdown_highlight", 10, 9, false, kWhiteRgb, DrawArrowDownHighlight},
    {"KsSkinScrollbar_arrowleft_down", 9, 10, false, kWhiteRgb, DrawArrowLeftDown},
    {"KsSkinScrollbar_arrowleft_highlight", 9, 10, false, kWhiteRgb, DrawArrowLeftHighlight},
    {"KsSkinScrollbar_arrowright_down", 9, 10, false, kWhiteRgb, DrawArrowRightDown},
    {"KsSkinScrollbar_arrowright_highlight", 9, 10, false, kWhiteRgb, DrawArrowRightHighlight},
    {"KsSkinScrollbar_arrowup_down", 10, 9, false, kWhiteRgb, DrawArrowUpDown},
    {"KsSkinScrollbar_arrowup_highlight", 10, 9, false, kWhiteRgb, DrawArrowUpHighlight},
    {"KsSkinDrag_flag", 8, 8, false, kWhiteRgb, DrawDragFlag},
    {"KsSkinSwitch_on", 102, 17, false, kWhiteRgb, DrawSwitchOn},
    {"KsSkinSwitch_off", 102, 17, false, kWhiteRgb, DrawSwitchOff},
    {"KsSkinMini_close_btn", 24, 12, false, kWhiteRgb, DrawMiniClose},
    {"KsSkinColor_tabs", 360, 40, false, kWhiteRgb, DrawColorTabs},
    {"KsSkinBrower_back", 120, 29, false, kWhiteRgb, DrawBrowserBack},
    {"KsSkinBrower_front", 120, 29, false, kWhiteRgb, DrawBrowserFront},
    {"KsSkinBrower_up", 29, 120, false, kWhiteRgb, DrawBrowserUp},
    {"KsSkinBrower_down", 29, 120, false, kWhiteRgb, DrawBrowserDown},
    {"KsSkinSearch_icon", 16, 14, false, kWhiteRgb, DrawSearchIcon},
    {"KsSkinCalendar_18_N", 25, 16, false, kWhiteRgb, DrawCalendarNormal},
    {"KsSkinCalendar_18_H", 25, 16, false, kWhiteRgb, DrawCalendarHot},
    {"KsSkinSpin_normal_up", 23, 12, false, kWhiteRgb, DrawSpinNormalUp},
    {"KsSkinSpin_highlight_up", 23, 12, false, kWhiteRgb, DrawSpinHighlightUp},
    {"KsSkinSpin_pushed_up", 23, 12, false, kWhiteRgb, DrawSpinPushedUp},
    {"KsSkinSpin_normal_down", 23, 12, false, kWhiteRgb, DrawSpinNormalDown},
    {"KsSkinSpin_highlight_down", 23, 12, false, kWhiteRgb, DrawSpinHighlightDown},
    {"KsSkinSpin_pushed_down", 23, 12, false, kWhiteRgb, DrawSpinPushedDown},
    {"KsSkinToolbtn", 87, 29, false, kWhiteRgb, DrawToolButton},
    {"KsSkinCheckedCheckbox_18", 15, 15, false, kWhiteRgb, DrawCheckedBox},
    {"KsSkinCheckedCheckbox_h_18", 15, 15, false, kWhiteRgb, DrawCheckedBoxHot},
    {"KsSkinUncheckedCheckbox_18", 15, 15, false, kWhiteRgb, DrawUncheckedBox},
    {"KsSkinUncheckedCheckbox_h_18", 15, 15, false, kWhiteRgb, DrawUncheckedBoxHot},
    {"KsSkinSlides", 160, 69, false, kWhiteRgb, DrawSlides},
    {"fav", 120, 120, true, kWhiteRgb, DrawFav},
};

}  // namespace

const std::vector<SkinImageRecipe>& SkinImageTable() { return kTable; }

RgbaImage RenderSkinImage(const SkinImageRecipe& recipe)
{
    Canvas canvas(recipe.width, recipe.height);
    recipe.draw(canvas);
    RgbaImage image;
    image.width = recipe.width;
    image.height = recipe.height;
    image.pixels = canvas.ToRgba8(recipe.transparentRgb);
    if (recipe.opaque) {
        for (size_t i = 3; i < image.pixels.size(); i += 4)
            if (image.pixels[i] != 255)
                throw std::logic_error(std::string(recipe.id) + " is opaque but has alpha");
    }
    return image;
}

}  // namespace ks::skingen
