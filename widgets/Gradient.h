// A colour gradient drawn in bands: the thin bar of the page header.
// Colours stay symbolic (a system colour follows the user's scheme) until
// drawn; every change tells OnChange.
#pragma once

#include "toolkit/Graphics.h"
#include "toolkit/StdControls.h"
#include "widgets/WidgetMath.h"

#include <functional>

namespace cv {

using TglGradientDir = TGradientDir;

class TGradient {
public:
    TColor FromColor() const { return FFromColor; }
    TColor ToColor() const { return FToColor; }
    bool Active() const { return FActive; }
    TGradientDir Orientation() const { return FOrientation; }
    int Steps() const { return FSteps; }
    int PercentFilling() const { return FPercentFilling; }
    // -1 for solid bands, else a hatch style (HS_*) in the band's colour.
    int BrushStyle() const { return FBrushStyle; }

    void SetFromColor(TColor color);
    void SetToColor(TColor color);
    void SetActive(bool active);
    void SetOrientation(TGradientDir orientation);
    // 256 and more are kept as 255, 0 and less as 1.
    void SetSteps(int steps);
    void SetPercentFilling(int percent);
    void SetBrushStyle(int style);

    std::function<void()> OnChange;

    // Draws into the rectangle; nothing while inactive, with one step, or on
    // a display of fewer than 16 bits per pixel.
    void Draw(HDC dc, const RECT& r) const;

private:
    void Changed();
    TColor FFromColor = RgbColor(128, 128, 128);
    TColor FToColor = clBlack;
    bool FActive = false;
    TGradientDir FOrientation = TGradientDir::fgdHorizontal;
    int FSteps = 255;
    int FPercentFilling = 100;
    int FBrushStyle = -1;
};

// A panel filled with a gradient where the gradient is active.
class TGradientPanel : public TPanel {
public:
    using TPanel::TPanel;
    TGradient Gradient;

protected:
    void PaintSelf(const TPaintContext& context) override;
};

} // namespace cv
