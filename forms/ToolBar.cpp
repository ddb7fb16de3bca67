#include "forms/ToolBar.h"

namespace cv {

namespace {

constexpr int kToolButtonHeight = 64;

} // namespace

std::vector<TAlphaButton*> MakeToolBar(TComponentOwner& owner, TPanel& panel,
                                       const std::vector<TToolButtonDef>& buttons) {
    panel.SetBevelOuter(TBevelCut::bvNone);
    panel.SetColor(clWhite);
    std::vector<TAlphaButton*> made;
    int left = 2;
    for (const TToolButtonDef& b : buttons) {
        auto& button = owner.Make<TAlphaButton>(&panel, b.Name);
        button.SetBounds(left, 1, b.Width, kToolButtonHeight);
        button.SetGlyphResource(b.Glyph);
        button.SetLayout(TButtonLayout::blGlyphTop);
        button.SetMargin(0);
        button.SetSpacing(0);
        button.SetAction(&b.Action);
        made.push_back(&button);
        left += b.Width;
    }
    panel.SetBounds(8, 6, left + 2, kToolButtonHeight + 2);
    return made;
}

} // namespace cv
