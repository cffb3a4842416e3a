// The skinned form's client backgrounds, built in memory: the title-to-client
// gradient, the colour background that continues it, and the picture
// background in each fill style. The controller keeps the bitmaps and copies
// them to the window; what goes into them is decided and drawn here, the same
// for the first build and for every later growth of the form.
#pragma once

#include "skin/frame/FormSkinSettings.h"
#include "skin/render/Bitmap32.h"

#include "framework/Types.h"

namespace ks {

// Backgrounds are built this much larger than the form, so that small
// resizes do not rebuild them (nine-sliced pictures follow the exact size).
inline constexpr int kBackgroundSlack = 10;

// The bitmap size a background that must hold `needed` pixels gets, given
// the size it has now (`present`) and the largest size worth keeping in
// reserve (`limit`, such as the monitor's size plus slack). A first build
// gets exactly `needed`. A present bitmap that holds `needed` is kept unless
// it has more than four times the pixels. A form that outgrows it gets half
// as much again in both directions, up to the limit and at least `needed`, so
// that a live resize reallocates a few times instead of on every step. An
// empty limit asks for exactly `needed` every time.
fw::TSize BackgroundStorage(fw::TSize present, fw::TSize needed, fw::TSize limit);

// Rows of the title gradient that can reach the screen: the gradient runs over
// gradientHeight rows, but only those above the form's bottom are ever drawn,
// so a configured height of millions costs no more than the form's own.
int VisibleGradientRows(int gradientHeight, int titleHeight, int formHeight);

// The vertical gradient from the title colour to the client colour: its
// colours run over gradientHeight rows, of which the first rows are kept; one
// column stretched across width + slack.
void BuildGradient(TBitmap32& gradient, int width, int rows, int gradientHeight, fw::TColor title, fw::TColor client);

// The client colour over the form's size plus slack; with a gradient, the
// gradient drawn at (x, y) in client coordinates (the title bar's part lies
// above the client). The bitmap's size follows BackgroundStorage with limit;
// a larger one holds the same pixels further out.
void BuildColorBackground(TBitmap32& background, fw::TSize form, fw::TColor client, const TBitmap32* gradient,
                          fw::TPoint gradientAt, fw::TSize limit = {});

// The picture background for a fill style at the form's size: tiled from
// origin, stretched to cover, nine-sliced in thirds, or (blur) the source at
// origin on the picture colour. The bitmap's size follows BackgroundStorage
// with limit. Tiled and blurred pictures cover the whole bitmap; stretched
// and nine-sliced ones are drawn into its top-left form size (plus slack for
// stretched ones), exactly as into a bitmap of that size. A reused bitmap is
// cleared where a fresh one would show through.
void FillPictureBackground(TBitmap32& background, TBitmap32& source, TKsFillStyle style, fw::TSize form,
                           fw::TColor pictureColor, fw::TPoint origin, fw::TSize limit = {});

// Whether a colour background no longer serves a form of the given size.
bool ColorBackgroundStale(const TBitmap32& background, fw::TSize form);

}  // namespace ks
