// Basic value types shared by the whole framework: points, rectangles,
// colours, small enum sets, events, the framework's base exception and
// UTF-8 <-> UTF-16 conversion. Portable: no platform headers here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace fw {

class TObject;

// ---------------------------------------------------------------------------
// Geometry

struct TPoint {
    int X = 0;
    int Y = 0;

    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) {}
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;

    constexpr TSize() = default;
    constexpr TSize(int w, int h) : cx(w), cy(h) {}
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// Half-open rectangle: Right and Bottom are outside, as with Win32 RECT.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr TRect(TPoint topLeft, TPoint bottomRight)
        : Left(topLeft.X),
          Top(topLeft.Y),
          Right(bottomRight.X),
          Bottom(bottomRight.Y)
    {}

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TSize Size() const { return {Width(), Height()}; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    // Empty when it covers no pixel (also when inverted).
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    constexpr bool Contains(const TRect& r) const
    {
        return r.Left >= Left && r.Right <= Right && r.Top >= Top && r.Bottom <= Bottom;
    }
    constexpr void Offset(int dx, int dy)
    {
        Left += dx;
        Right += dx;
        Top += dy;
        Bottom += dy;
    }
    constexpr void Inflate(int dx, int dy)
    {
        Left -= dx;
        Right += dx;
        Top -= dy;
        Bottom += dy;
    }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

// Intersection of a and b; an empty result is normalised to (0,0,0,0).
// Returns whether the intersection is non-empty (like Win32 IntersectRect).
constexpr bool IntersectRect(TRect& dst, const TRect& a, const TRect& b)
{
    TRect r{(std::max)(a.Left, b.Left), (std::max)(a.Top, b.Top), (std::min)(a.Right, b.Right),
            (std::min)(a.Bottom, b.Bottom)};
    if (r.IsEmpty()) {
        dst = TRect{};
        return false;
    }
    dst = r;
    return true;
}
constexpr TRect IntersectRect(const TRect& a, const TRect& b)
{
    TRect r;
    IntersectRect(r, a, b);
    return r;
}
// Smallest rectangle holding both; an empty operand is ignored.
constexpr TRect UnionRect(const TRect& a, const TRect& b)
{
    if (a.IsEmpty())
        return b.IsEmpty() ? TRect{} : b;
    if (b.IsEmpty())
        return a;
    return {(std::min)(a.Left, b.Left), (std::min)(a.Top, b.Top), (std::max)(a.Right, b.Right),
            (std::max)(a.Bottom, b.Bottom)};
}
constexpr TRect OffsetRect(const TRect& r, int dx, int dy)
{
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}
constexpr TRect InflateRect(const TRect& r, int dx, int dy)
{
    return {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}
constexpr bool PtInRect(const TRect& r, TPoint p) { return r.Contains(p); }

// ---------------------------------------------------------------------------
// Colours
//
// TColor holds a COLORREF-style value 0x00BBGGRR. Negative values name a
// system colour: 0x80000000 | index, resolved by ColorToRGB.

using TColor = std::int32_t;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<std::uint32_t>(index)); }

inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clHotLight = SystemColor(26);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);
inline constexpr TColor clGradientInactiveCaption = SystemColor(28);
inline constexpr TColor clMenuHighlight = SystemColor(29);
inline constexpr TColor clMenuBar = SystemColor(30);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

constexpr int RedOf(TColor c) { return c & 0xFF; }
constexpr int GreenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(TColor c) { return (c >> 16) & 0xFF; }
// Older spellings, for portable files only: <windows.h> defines macros of
// these names (with the same meaning), so Windows files use RedOf & co.
#if !defined(GetRValue) && !defined(GetGValue) && !defined(GetBValue)
constexpr int GetRValue(TColor c) { return RedOf(c); }
constexpr int GetGValue(TColor c) { return GreenOf(c); }
constexpr int GetBValue(TColor c) { return BlueOf(c); }
#endif
constexpr TColor RGBColor(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Resolves a system colour (negative value) to its current 0x00BBGGRR value;
// other values pass through with the top byte cleared. The Windows build asks
// the system; other builds use the classic default palette.
TColor ColorToRGB(TColor color);

// ---------------------------------------------------------------------------
// Small sets of enumeration members (up to 64 members), the counterpart of
// stored sets such as Font.Style = [fsBold, fsItalic].

template <class E>
class TSet {
    static_assert(std::is_enum_v<E>, "TSet holds members of an enumeration");

public:
    using Mask = std::uint64_t;

    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members)
    {
        for (E e : members)
            m_bits |= Bit(e);
    }
    static constexpr TSet FromMask(Mask m)
    {
        TSet s;
        s.m_bits = m;
        return s;
    }

    constexpr Mask ToMask() const { return m_bits; }
    constexpr bool Contains(E e) const { return (m_bits & Bit(e)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr TSet& Include(E e)
    {
        m_bits |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e)
    {
        m_bits &= ~Bit(e);
        return *this;
    }

    constexpr TSet operator+(TSet o) const { return FromMask(m_bits | o.m_bits); }
    constexpr TSet operator-(TSet o) const { return FromMask(m_bits & ~o.m_bits); }
    constexpr TSet operator*(TSet o) const { return FromMask(m_bits & o.m_bits); }
    constexpr TSet& operator+=(TSet o)
    {
        m_bits |= o.m_bits;
        return *this;
    }
    constexpr TSet& operator-=(TSet o)
    {
        m_bits &= ~o.m_bits;
        return *this;
    }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr Mask Bit(E e) { return Mask{1} << static_cast<unsigned>(e); }
    Mask m_bits = 0;
};

// ---------------------------------------------------------------------------
// Input state and events

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TNotifyEvent = std::function<void(TObject* sender)>;

// ---------------------------------------------------------------------------
// Errors

class EFrameworkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------
// Text
//
// Portable code keeps text as UTF-8 std::string. Invalid input sequences are
// replaced by U+FFFD; nothing throws.

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
bool IsValidUtf8(std::string_view bytes);
bool IsAscii(std::string_view bytes);

// ASCII-only case folding, as used for component and property names.
std::string AsciiUpperCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);

// Identifier test for component names: a letter or '_' first, then letters,
// digits or '_' (ASCII only).
bool IsValidIdent(std::string_view s);

// ---------------------------------------------------------------------------
// Identifier maps: integer properties that are stored as an identifier when
// their value has a name (Color = clBtnFace, Font.Charset = DEFAULT_CHARSET).

struct TIdentMapEntry {
    std::int64_t Value;
    const char* Name;
};

class TIdentMap {
public:
    TIdentMap(std::initializer_list<TIdentMapEntry> entries) : m_entries(entries) {}

    // Case-insensitive lookup by name.
    bool IdentToInt(std::string_view name, std::int64_t& value) const;
    // The first name of a value, or nullptr.
    const char* IntToIdent(std::int64_t value) const;
    const std::vector<TIdentMapEntry>& Entries() const { return m_entries; }

private:
    std::vector<TIdentMapEntry> m_entries;
};

// clBlack ... clMenuBar, clNone, clDefault.
const TIdentMap& ColorIdents();
// ANSI_CHARSET, DEFAULT_CHARSET, SYMBOL_CHARSET, GB2312_CHARSET, ...
const TIdentMap& CharsetIdents();

}  // namespace fw
