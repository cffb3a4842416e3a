// Affine transformation of a floating-point source rectangle, and drawing a
// bitmap through one.
#pragma once

#include "skin/render/Bitmap32.h"

namespace ks {

struct TFloatRect {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    double Width() const { return Right - Left; }
    double Height() const { return Bottom - Top; }
};

struct TFloatPoint {
    double X = 0, Y = 0;
};

// Accumulates scale, rotation and translation on top of an identity matrix;
// maps source points to destination points (and back).
class TAffineTransformation {
public:
    TAffineTransformation() { Clear(); }

    // Back to identity (the source rectangle stays).
    void Clear();
    const TFloatRect& SrcRect() const { return m_srcRect; }
    void SetSrcRect(const TFloatRect& r) { m_srcRect = r; }

    void Scale(double sx, double sy);
    // Rotation by alpha degrees (counter-clockwise on screen) about (cx, cy).
    void Rotate(double cx, double cy, double alpha);
    void Translate(double dx, double dy);

    TFloatPoint Transform(double x, double y) const;
    // The inverse mapping; throws ERenderError when the matrix is singular.
    TFloatPoint ReverseTransform(double x, double y) const;
    // How the inverse mapping moves per destination pixel along x.
    TFloatPoint ReverseStepX() const;
    // Bounds of the transformed source rectangle.
    TFloatRect GetTransformedBounds() const;

    // Row-major 3 x 3 matrix, last row (0, 0, 1).
    double Matrix(int row, int column) const { return m_m[row][column]; }

private:
    // m := op * m
    void Multiply(const double op[3][3]);

    double m_m[3][3];
    TFloatRect m_srcRect;
};

// Every destination pixel inside the transformed bounds (rounded to whole
// pixels, cut to dst's ClipRect) is mapped back through the inverse, sampled
// from src with src's resampler and combined by src's draw mode (dmBlend:
// BlendPixelMaster with src's MasterAlpha, even at 255).
void TransformDraw(TCustomBitmap32* dst, const TCustomBitmap32* src, const TAffineTransformation& transformation);

// What TransformDraw into a new transparent w x h bitmap whose clip is dst's
// clip moved by (-x, -y), followed by DrawAt(dst, x, y, that bitmap), gives;
// without the bitmap: the part inside dst's clip is drawn straight into dst.
void TransformDrawCopied(TCustomBitmap32& dst, int x, int y, int w, int h, const TCustomBitmap32& src,
                         const TAffineTransformation& transformation);

// Rounds a floating-point rectangle to whole pixels, each bound to nearest.
TRect RoundRect(const TFloatRect& r);

}  // namespace ks
