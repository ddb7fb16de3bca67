// The arithmetic of the program's own controls, apart from any drawing: the
// per-pixel alpha blend and grey rule of the image buttons, where a button's
// glyph and caption go, the page header's text areas and symbol box, and the
// bands of a colour gradient. The GDI code only calls these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cv {

// A 32-bit pixel as a DIB holds it: 0xAARRGGBB.
using TPixel = std::uint32_t;

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

// The glyph pixel s over the background pixel d, by s's own alpha: alpha 0
// keeps d, 255 takes s, anything between mixes each byte on its own.
TPixel BlendPixel(TPixel s, TPixel d);
// A disabled glyph's pixel: grey from the colour's weights, alpha kept.
TPixel GreyPixel(TPixel p);
// The image's blend at an overall opacity: the effective alpha is
// (a x opacity) div 256; a pixel whose product stays below 256 is skipped
// (false); the colour bytes mix with the effective alpha and the top byte
// becomes 0. Opacity 255 is BlendPixel.
bool BlendPixelWithOpacity(TPixel s, TPixel& d, std::uint8_t opacity);

enum class TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TButtonPlacement {
    TPoint Glyph;
    TRect Caption;
};

// Where glyph and caption sit in a button's client rectangle: margin -1
// centres them together, spacing -1 spreads them; down moves both one pixel
// right and one down.
TButtonPlacement PlaceButtonContent(const TRect& client, TPoint glyphSize, TPoint textSize,
                                    TButtonLayout layout, int margin, int spacing, bool down);

// The page header's parts for a client of width x height.
struct THeaderAreas {
    TRect Caption;  // the caption's top-left corner and the text area
    TRect Comment;  // where the word-wrapped comment is drawn
    TRect Symbol;   // the coloured box behind the symbol
    TRect Gradient; // the thin gradient strip
};

// captionLineHeight is the height of "Hy" in the caption font, commentHeight
// the comment's word-wrapped height at the comment area's width. The
// comment is centred in the room below the caption, and starts below the
// caption when it is taller than that room.
THeaderAreas PlaceHeader(int width, int height, int captionLineHeight, int commentHeight,
                         bool gradientActive);
// The least height of a header whose comment shows whole, above the gradient.
int HeaderHeightFor(int captionLineHeight, int commentHeight);
// The line of a list for a page: the last one for a page past the end, the
// fallback for an empty list.
std::string HeaderLine(const std::vector<std::string>& lines, int pageNo, const std::string& fallback);

enum class TGradientDir : std::uint8_t {
    fgdHorizontal,
    fgdVertical,
    fgdLeftBias,
    fgdRightBias,
    fgdRectangle,
    fgdHorzConvergent,
    fgdVertConvergent,
};

struct TRgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    bool operator==(const TRgb&) const = default;
};

// One band of a gradient: a rectangle to fill, or, for the bias directions,
// a line from Area's top-left to its bottom-right corner.
struct TGradientBand {
    TRect Area;
    TRgb Color;
    bool operator==(const TGradientBand&) const = default;
};

// The stored number of bands: 256 and more become 255, 0 and less become 1.
int ClampGradientSteps(int steps);
// Windows' MulDiv: a x b / c rounded half away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);
// The bands that fill the rectangle, in drawing order, stopping where
// percentFilling says. Empty when steps is 1.
std::vector<TGradientBand> GradientBands(const TRect& area, TRgb from, TRgb to, int steps, int percentFilling,
                                         TGradientDir direction);

} // namespace cv
