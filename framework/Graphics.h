// Graphics vocabulary shared by portable and Windows code: font styles, pitch
// and quality, brush and pen styles, pixel formats. The graphics objects
// themselves (TFont, TCanvas, TBitmap, ...) are in Graphics_win.h.
#pragma once

#include "framework/Types.h"

namespace fw {

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };

enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };

// A Windows character set number (DEFAULT_CHARSET is 1).
using TFontCharset = int;
inline constexpr TFontCharset kDefaultFontCharset = 1;

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// The face and size a new font gets.
inline constexpr const char* kDefaultFontName = "MS Sans Serif";
inline constexpr int kDefaultFontHeight = -11;

}  // namespace fw
