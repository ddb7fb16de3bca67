#include "widgets/AlphaImage.h"

namespace cv {

TAlphaImage::TAlphaImage(TWinControl* parent, std::string name) : TGraphicControl(parent, std::move(name)) {
    FBounds = {0, 0, 48, 48};
}

void TAlphaImage::SetGlyphResource(const wchar_t* name) {
    FGlyph.LoadResource(name);
    Invalidate();
}

void TAlphaImage::SetAlpha(std::uint8_t alpha) {
    FAlpha = alpha;
    Invalidate();
    if (FParent != nullptr && FParent->HandleAllocated()) {
        UpdateWindow(FParent->Handle());
    }
}

void TAlphaImage::Paint(const TPaintContext& context) {
    if (context.Buffer == nullptr) {
        return; // nothing to blend with
    }
    RECT client = {0, 0, Width(), Height()};
    if (!Transparent) {
        FillRect(context.DC, &client, ColorBrush(FColor));
    }
    TGlyphContent content;
    content.Glyph = &FGlyph;
    content.Caption = FCaption;
    content.Font = &Font();
    content.Layout = Layout;
    content.Margin = Margin;
    content.Spacing = Spacing;
    content.Disabled = !FEnabled;
    content.Opacity = FAlpha;
    DrawGlyphContent(content, context.DC, *context.Buffer, context.OriginX, context.OriginY, Width(),
                     Height());
}

} // namespace cv
