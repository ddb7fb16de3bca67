#include "widgets/Gradient.h"

namespace cv {

namespace {

TRgb ToRgb(TColor color) {
    const COLORREF c = ColorToRGB(color);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

} // namespace

void TGradient::Changed() {
    if (OnChange) {
        OnChange();
    }
}

void TGradient::SetFromColor(TColor color) {
    FFromColor = color;
    Changed();
}

void TGradient::SetToColor(TColor color) {
    FToColor = color;
    Changed();
}

void TGradient::SetActive(bool active) {
    FActive = active;
    Changed();
}

void TGradient::SetOrientation(TGradientDir orientation) {
    FOrientation = orientation;
    Changed();
}

void TGradient::SetSteps(int steps) {
    FSteps = ClampGradientSteps(steps);
    Changed();
}

void TGradient::SetPercentFilling(int percent) {
    FPercentFilling = percent;
    Changed();
}

void TGradient::SetBrushStyle(int style) {
    FBrushStyle = style;
    Changed();
}

void TGradient::Draw(HDC dc, const RECT& r) const {
    if (!FActive || FSteps == 1 || GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) < 16) {
        return;
    }
    const bool lines =
        FOrientation == TGradientDir::fgdLeftBias || FOrientation == TGradientDir::fgdRightBias;
    const int length = (r.right - r.left) + (r.bottom - r.top);
    const int penWidth = lines ? (length + FSteps - 1) / FSteps + 1 : 1;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    for (const TGradientBand& band : GradientBands(TRect{r.left, r.top, r.right, r.bottom}, ToRgb(FFromColor),
                                                   ToRgb(FToColor), FSteps, FPercentFilling, FOrientation)) {
        const COLORREF color = RGB(band.Color.R, band.Color.G, band.Color.B);
        if (lines) {
            const TGdiObject<HPEN> pen(CreatePen(PS_SOLID, penWidth, color));
            const TSelectedObject selected(dc, pen.Get());
            MoveToEx(dc, band.Area.Left, band.Area.Top, nullptr);
            LineTo(dc, band.Area.Right, band.Area.Bottom);
            continue;
        }
        const TGdiObject<HBRUSH> brush(FBrushStyle < 0 ? CreateSolidBrush(color)
                                                       : CreateHatchBrush(FBrushStyle, color));
        const RECT area = {band.Area.Left, band.Area.Top, band.Area.Right, band.Area.Bottom};
        if (FBrushStyle >= 0) {
            SetBkMode(dc, TRANSPARENT);
        }
        FillRect(dc, &area, brush.Get());
    }
    RestoreDC(dc, saved);
}

void TGradientPanel::PaintSelf(const TPaintContext& context) {
    Gradient.Draw(context.DC, {0, 0, ClientWidth(), ClientHeight()});
    TPanel::PaintSelf(context);
}

} // namespace cv
