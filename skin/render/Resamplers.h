// Resamplers: how a bitmap is sampled when a draw changes its size or maps it
// through a transformation. A bitmap owns one; ResamplerClassName names its
// class in component streams.
#pragma once

#include "skin/render/Bitmap32.h"
#include "skin/render/Kernels.h"

#include <memory>
#include <string>
#include <vector>

namespace ks {

class TCustomResampler : public fw::TPersistent {
    FW_CLASS(TCustomResampler)

    ~TCustomResampler() override;

    virtual std::unique_ptr<TCustomResampler> Clone() const = 0;

    // Stretches srcRect of src (inside src's bounds) into dstRect of dst,
    // combining by src's draw mode, touching only dstClip (inside dstRect).
    virtual void Resample(TCustomBitmap32& dst, const TRect& dstRect, const TRect& dstClip, const TCustomBitmap32& src,
                          const TRect& srcRect) const = 0;

    // The sample at source point (x, y); pixel (i, j) covers the square
    // [i, i + 1) x [j, j + 1), its centre at (i + 0.5, j + 0.5).
    virtual TColor32 Sample(const TCustomBitmap32& src, double x, double y) const = 0;
    // n samples from (x, y) on, stepping by (dx, dy); the default calls
    // Sample for each.
    virtual void SampleRow(const TCustomBitmap32& src, double x, double y, double dx, double dy, TColor32* out,
                           std::size_t n) const;

    TPixelAccessMode PixelAccessMode() const { return m_accessMode; }
    void SetPixelAccessMode(TPixelAccessMode mode) { m_accessMode = mode; }

    void Assign(const fw::TPersistent& source) override;

protected:
    TCustomResampler() = default;
    // Source pixel (x, y) read by the access mode.
    TColor32 Pixel(const TCustomBitmap32& src, int x, int y) const { return Source(src).Pixel(x, y); }
    TSampleSource Source(const TCustomBitmap32& src) const
    {
        return {src.Bits(), src.Width(), src.Height(), m_accessMode};
    }

private:
    TPixelAccessMode m_accessMode = pamClamp;
};

// Nearest pixel. Column and row maps are computed once per stretched draw and
// a gathered row is reused while the source row does not change.
class TNearestResampler : public TCustomResampler {
    FW_CLASS(TNearestResampler)

    TNearestResampler() = default;
    std::unique_ptr<TCustomResampler> Clone() const override;
    void Resample(TCustomBitmap32& dst, const TRect& dstRect, const TRect& dstClip, const TCustomBitmap32& src,
                  const TRect& srcRect) const override;
    TColor32 Sample(const TCustomBitmap32& src, double x, double y) const override;
};

// Bilinear (SampleBilinear). Interpolates with alpha weighting, so colours of
// transparent neighbours do not bleed in; with pamTransparentEdge the area
// outside the source counts as transparent and the picture fades out across
// its edge.
class TLinearResampler : public TCustomResampler {
    FW_CLASS(TLinearResampler)

    TLinearResampler() = default;
    std::unique_ptr<TCustomResampler> Clone() const override;
    void Resample(TCustomBitmap32& dst, const TRect& dstRect, const TRect& dstClip, const TCustomBitmap32& src,
                  const TRect& srcRect) const override;
    TColor32 Sample(const TCustomBitmap32& src, double x, double y) const override;
    // Rows (dy = 0) go through the bound LinearRow kernel.
    void SampleRow(const TCustomBitmap32& src, double x, double y, double dx, double dy, TColor32* out,
                   std::size_t n) const override;
};

// A new resampler of the named class (case-insensitive), or nullptr.
std::unique_ptr<TCustomResampler> CreateResampler(std::string_view className);
std::vector<std::string> ResamplerClassNames();

// Nearest-pixel index maps of a stretched draw: for each of the clip's
// columns (rows), the source column (row). dstLen <= 1 maps to the middle of
// the source span, (srcLo + srcHi - 1) div 2; otherwise
// Trunc(srcLo + (i + clipLo - dstLo) * scale) with scale = srcLen / dstLen
// held as a 32-bit float.
std::vector<int> NearestIndexMap(int srcLo, int srcHi, int dstLo, int dstHi, int clipLo, int clipHi);

}  // namespace ks
