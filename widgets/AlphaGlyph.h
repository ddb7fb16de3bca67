// A 32-bit picture with a per-pixel alpha channel and how it is blended
// over what lies behind a control. Each image button and alpha image owns
// one.
#pragma once

#include "widgets/WidgetMath.h"

#include <windows.h>

#include <string>
#include <vector>

namespace cv {

class TBitmap32;

class TAlphaGlyph {
public:
    // Takes the picture, converted to 32 bits per pixel; a picture of fewer
    // bits has no alpha of its own and counts as opaque.
    void Assign(HBITMAP bitmap);
    // A BITMAP resource of the program; false when there is none.
    bool LoadResource(const wchar_t* name);
    void Assign(int width, int height, std::vector<TPixel> pixels);
    void Clear();

    bool Empty() const { return FPixels.empty(); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    const std::vector<TPixel>& Pixels() const { return FPixels; }

    // Blends the glyph into the buffer with its top-left corner at x, y,
    // inside clip only; grey when disabled; at an overall opacity.
    void BlendInto(TBitmap32& buffer, int x, int y, const RECT& clip, bool disabled,
                   std::uint8_t opacity = 255);

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<TPixel> FPixels;
    std::vector<TPixel> FWork; // the background under the glyph, blended
};

} // namespace cv

namespace cv {

struct TFont;

// What an image button or alpha image shows, laid out in its client area.
struct TGlyphContent {
    TAlphaGlyph* Glyph = nullptr;
    std::string Caption;
    const TFont* Font = nullptr;
    TButtonLayout Layout = TButtonLayout::blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;
    bool Down = false;
    bool Disabled = false;
    std::uint8_t Opacity = 255;
};

// Draws glyph and caption into the buffer, whose DC has the control's
// client area at 0, 0 and whose pixels hold it at originX, originY.
void DrawGlyphContent(const TGlyphContent& content, HDC dc, TBitmap32& buffer, int originX, int originY,
                      int width, int height);

} // namespace cv
