// A picture with alpha and an overall opacity, without a window of its
// own: it is blended into its parent's painting over what lies below it.
#pragma once

#include "toolkit/Control.h"
#include "widgets/AlphaGlyph.h"

namespace cv {

class TAlphaImage : public TGraphicControl {
public:
    TAlphaImage(TWinControl* parent, std::string name);

    TAlphaGlyph& Glyph() { return FGlyph; }
    void SetGlyphResource(const wchar_t* name);
    std::uint8_t Alpha() const { return FAlpha; }
    // Repaints at once.
    void SetAlpha(std::uint8_t alpha);
    TButtonLayout Layout = TButtonLayout::blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;
    bool Transparent = true;

    void Paint(const TPaintContext& context) override;

private:
    TAlphaGlyph FGlyph;
    std::uint8_t FAlpha = 255;
};

} // namespace cv
