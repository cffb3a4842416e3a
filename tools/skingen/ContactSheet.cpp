#include "tools/skingen/ContactSheet.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace ks::skingen {

namespace {

// ------------------------------------------------------------------ a tiny font
//
// 5 x 9 cells: capitals and digits use rows 0-6, small letters have their
// x-height in rows 2-6 and descenders in rows 7-8.

using Glyph = std::array<const char*, 9>;

struct GlyphEntry {
    char ch;
    Glyph rows;
};

#define B "     "
const GlyphEntry kGlyphs[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #", B, B}},
    {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### ", B, B}},
    {'C', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### ", B, B}},
    {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### ", B, B}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####", B, B}},
    {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    ", B, B}},
    {'G', {" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####", B, B}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #", B, B}},
    {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### ", B, B}},
    {'J', {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  ", B, B}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #", B, B}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####", B, B}},
    {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #", B, B}},
    {'N', {"#   #", "#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", B, B}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### ", B, B}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    ", B, B}},
    {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #", B, B}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #", B, B}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### ", B, B}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", B, B}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### ", B, B}},
    {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  ", B, B}},
    {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "# # #", " # # ", B, B}},
    {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #", B, B}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  ", B, B}},
    {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####", B, B}},
    {'a', {B, B, " ### ", "    #", " ####", "#   #", " ####", B, B}},
    {'b', {"#    ", "#    ", "# ## ", "##  #", "#   #", "#   #", "#### ", B, B}},
    {'c', {B, B, " ### ", "#    ", "#    ", "#   #", " ### ", B, B}},
    {'d', {"    #", "    #", " ## #", "#  ##", "#   #", "#   #", " ####", B, B}},
    {'e', {B, B, " ### ", "#   #", "#####", "#    ", " ### ", B, B}},
    {'f', {"  ## ", " #  #", " #   ", "###  ", " #   ", " #   ", " #   ", B, B}},
    {'g', {B, B, " ####", "#   #", "#   #", " ####", "    #", "#   #", " ### "}},
    {'h', {"#    ", "#    ", "# ## ", "##  #", "#   #", "#   #", "#   #", B, B}},
    {'i', {"  #  ", B, " ##  ", "  #  ", "  #  ", "  #  ", " ### ", B, B}},
    {'j', {"   # ", B, "  ## ", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "}},
    {'k', {"#    ", "#    ", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", B, B}},
    {'l', {" ##  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### ", B, B}},
    {'m', {B, B, "## # ", "# # #", "# # #", "# # #", "#   #", B, B}},
    {'n', {B, B, "# ## ", "##  #", "#   #", "#   #", "#   #", B, B}},
    {'o', {B, B, " ### ", "#   #", "#   #", "#   #", " ### ", B, B}},
    {'p', {B, B, "#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'q', {B, B, " ####", "#   #", "#   #", " ####", "    #", "    #", "    #"}},
    {'r', {B, B, "# ## ", "##  #", "#    ", "#    ", "#    ", B, B}},
    {'s', {B, B, " ####", "#    ", " ### ", "    #", "#### ", B, B}},
    {'t', {" #   ", " #   ", "###  ", " #   ", " #   ", " #  #", "  ## ", B, B}},
    {'u', {B, B, "#   #", "#   #", "#   #", "#  ##", " ## #", B, B}},
    {'v', {B, B, "#   #", "#   #", "#   #", " # # ", "  #  ", B, B}},
    {'w', {B, B, "#   #", "#   #", "# # #", "# # #", " # # ", B, B}},
    {'x', {B, B, "#   #", " # # ", "  #  ", " # # ", "#   #", B, B}},
    {'y', {B, B, "#   #", "#   #", "#   #", " ####", "    #", "#   #", " ### "}},
    {'z', {B, B, "#####", "   # ", "  #  ", " #   ", "#####", B, B}},
    {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### ", B, B}},
    {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### ", B, B}},
    {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####", B, B}},
    {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### ", B, B}},
    {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # ", B, B}},
    {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### ", B, B}},
    {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### ", B, B}},
    {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   ", B, B}},
    {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### ", B, B}},
    {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  ", B, B}},
    {'_', {B, B, B, B, B, B, B, "#####", B}},
    {'(', {"   # ", "  #  ", " #   ", " #   ", " #   ", "  #  ", "   # ", B, B}},
    {')', {" #   ", "  #  ", "   # ", "   # ", "   # ", "  #  ", " #   ", B, B}},
    {'.', {B, B, B, B, B, " ##  ", " ##  ", B, B}},
    {',', {B, B, B, B, B, " ##  ", " ##  ", "  #  ", " #   "}},
    {'-', {B, B, B, " ### ", B, B, B, B, B}},
    {':', {B, " ##  ", " ##  ", B, " ##  ", " ##  ", B, B, B}},
    {'/', {"    #", "    #", "   # ", "  #  ", " #   ", "#    ", "#    ", B, B}},
    {' ', {B, B, B, B, B, B, B, B, B}},
    {'?', {" ### ", "#   #", "    #", "   # ", "  #  ", B, "  #  ", B, B}},
};
#undef B

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 9;
constexpr int kAdvance = 6;

const Glyph& GlyphOf(char ch)
{
    for (const GlyphEntry& g : kGlyphs)
        if (g.ch == ch)
            return g.rows;
    for (const GlyphEntry& g : kGlyphs)
        if (g.ch == '?')
            return g.rows;
    throw std::logic_error("the font has no '?'");
}

// ------------------------------------------------------------------ an opaque sheet

class Sheet {
public:
    Sheet(int width, int height, std::uint32_t rgb) : m_image{width, height, {}}
    {
        m_image.pixels.resize(static_cast<size_t>(width) * height * 4);
        FillRect(0, 0, width, height, rgb);
    }

    void FillRect(int x, int y, int w, int h, std::uint32_t rgb)
    {
        for (int yy = std::max(y, 0); yy < std::min(y + h, m_image.height); ++yy)
            for (int xx = std::max(x, 0); xx < std::min(x + w, m_image.width); ++xx) {
                std::uint8_t* p = At(xx, yy);
                p[0] = static_cast<std::uint8_t>(rgb >> 16);
                p[1] = static_cast<std::uint8_t>(rgb >> 8);
                p[2] = static_cast<std::uint8_t>(rgb);
                p[3] = 255;
            }
    }

    void Frame(int x, int y, int w, int h, std::uint32_t rgb)
    {
        FillRect(x, y, w, 1, rgb);
        FillRect(x, y + h - 1, w, 1, rgb);
        FillRect(x, y, 1, h, rgb);
        FillRect(x + w - 1, y, 1, h, rgb);
    }

    void Checkerboard(int x, int y, int w, int h, int square)
    {
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx)
                FillRect(x + xx, y + yy, 1, 1, ((xx / square + yy / square) & 1) ? 0xE6E8EC : 0xFFFFFF);
    }

    // Blends a straight-alpha image enlarged by scale (nearest neighbour).
    void Draw(const RgbaImage& src, int x, int y, int scale)
    {
        for (int sy = 0; sy < src.height * scale; ++sy)
            for (int sx = 0; sx < src.width * scale; ++sx) {
                const int dx = x + sx, dy = y + sy;
                if (dx < 0 || dy < 0 || dx >= m_image.width || dy >= m_image.height)
                    continue;
                const std::uint8_t* s = &src.pixels[(static_cast<size_t>(sy / scale) * src.width + sx / scale) * 4];
                std::uint8_t* d = At(dx, dy);
                for (int k = 0; k < 3; ++k)
                    d[k] = static_cast<std::uint8_t>((s[k] * s[3] + d[k] * (255 - s[3]) + 127) / 255);
            }
    }

    void Text(int x, int y, const std::string& text, std::uint32_t rgb, int scale = 1)
    {
        for (char ch : text) {
            const Glyph& g = GlyphOf(ch);
            for (int row = 0; row < kGlyphHeight; ++row)
                for (int col = 0; col < kGlyphWidth; ++col)
                    if (g[row][col] == '#')
                        FillRect(x + col * scale, y + row * scale, scale, scale, rgb);
            x += kAdvance * scale;
        }
    }

    RgbaImage Take() { return std::move(m_image); }

private:
    std::uint8_t* At(int x, int y) { return &m_image.pixels[(static_cast<size_t>(y) * m_image.width + x) * 4]; }

    RgbaImage m_image;
};

int TextWidth(const std::string& text, int scale = 1) { return static_cast<int>(text.size()) * kAdvance * scale; }

struct Entry {
    std::string id;
    std::string mode;
    RgbaImage image;
};

std::vector<Entry> ReadFolder(const std::string& folder)
{
    const std::string manifestPath = folder + "/manifest.txt";
    std::ifstream file(manifestPath);
    if (!file)
        throw std::runtime_error(manifestPath + ": cannot open the file");
    std::vector<Entry> entries;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        Entry e;
        int w = 0, h = 0;
        if (!(fields >> e.id) || e.id[0] == '#')
            continue;
        if (!(fields >> w >> h >> e.mode))
            throw std::runtime_error(manifestPath + ": bad line '" + line + "'");
        e.image = ReadPng(folder + "/" + e.id + ".png");
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace

RgbaImage BuildContactSheet(const std::string& folder)
{
    const std::vector<Entry> entries = ReadFolder(folder);

    constexpr int kScale = 2;  // images are shown enlarged, nearest neighbour
    constexpr int kSheetWidth = 1560;
    constexpr int kMargin = 24;
    constexpr int kGap = 12;      // between cells
    constexpr int kPad = 10;      // inside a cell
    constexpr int kCheckPad = 6;  // checkerboard around an image
    constexpr int kLine = 12;     // one line of text
    constexpr int kHeader = 64;

    // Shelf layout in stored order: fill a row left to right, then start the next.
    struct Cell {
        int x, y, w, h;
    };
    std::vector<Cell> cells;
    size_t rowStart = 0;
    int x = kMargin, y = kMargin + kHeader, rowHeight = 0;
    // Cells of one row share the row's height.
    auto endRow = [&] {
        for (size_t i = rowStart; i < cells.size(); ++i)
            cells[i].h = rowHeight;
        rowStart = cells.size();
    };
    for (const Entry& e : entries) {
        const std::string size = std::to_string(e.image.width) + " x " + std::to_string(e.image.height) + "  " + e.mode;
        const int w = 2 * kPad + std::max({e.image.width * kScale + 2 * kCheckPad, TextWidth(e.id), TextWidth(size)});
        const int h = 2 * kPad + e.image.height * kScale + 2 * kCheckPad + 6 + 2 * kLine;
        if (x + w > kSheetWidth - kMargin && x > kMargin) {
            endRow();
            x = kMargin;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        cells.push_back({x, y, w, h});
        x += w + kGap;
        rowHeight = std::max(rowHeight, h);
    }
    endRow();
    const int height = y + rowHeight + kMargin;

    Sheet sheet(kSheetWidth, height, 0xF1F2F5);
    sheet.Text(kMargin, kMargin, "Built-in skin images", 0x2B303A, 2);
    sheet.Text(kMargin, kMargin + 26,
               std::to_string(entries.size()) + " images in stored order, shown at " + std::to_string(kScale) +
                   "x on a checkerboard",
               0x6B727D);
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const Cell& c = cells[i];
        sheet.FillRect(c.x, c.y, c.w, c.h, 0xFFFFFF);
        sheet.Frame(c.x, c.y, c.w, c.h, 0xD9DDE3);
        const int iw = e.image.width * kScale, ih = e.image.height * kScale;
        const int bx = c.x + kPad, by = c.y + kPad;
        sheet.Checkerboard(bx, by, iw + 2 * kCheckPad, ih + 2 * kCheckPad, 6);
        sheet.Draw(e.image, bx + kCheckPad, by + kCheckPad, kScale);
        const int ty = c.y + c.h - kPad - 2 * kLine + 2;  // labels line up along a row
        sheet.Text(c.x + kPad, ty, e.id, 0x2B303A);
        sheet.Text(c.x + kPad, ty + kLine,
                   std::to_string(e.image.width) + " x " + std::to_string(e.image.height) + "  " + e.mode, 0x7A818C);
    }
    return sheet.Take();
}

}  // namespace ks::skingen
