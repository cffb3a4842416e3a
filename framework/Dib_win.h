// The header of a device-independent bitmap as every 32- and 24-bit section
// here is made: top-down (row 0 is the top row, hence the negative height),
// one plane, uncompressed, no palette.
#pragma once

#include <windows.h>

namespace fw {

inline BITMAPINFOHEADER TopDownDibHeader(int width, int height, WORD bitCount)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    return header;
}

// The same, with an empty colour table, for the 32- and 24-bit sections.
inline BITMAPINFO TopDownDibInfo(int width, int height, WORD bitCount)
{
    BITMAPINFO info{};
    info.bmiHeader = TopDownDibHeader(width, height, bitCount);
    return info;
}

}  // namespace fw
