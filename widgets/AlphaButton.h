// The flat image button: a glyph with alpha over whatever lies behind it,
// its caption, a raised edge under the mouse and a sunken one while
// pressed. It never takes the keyboard focus; its caption's accelerator
// letter clicks it.
#pragma once

#include "toolkit/Action.h"
#include "toolkit/Control.h"
#include "widgets/AlphaGlyph.h"

namespace cv {

enum class TAlphaButtonState { bsUp, bsDisabled, bsDown };

class TAlphaButton : public TWinControl, public TActionClient {
public:
    TAlphaButton(TWinControl* parent, std::string name, const std::string& caption = {});

    TAlphaGlyph& Glyph() { return FGlyph; }
    // The program's BITMAP resource of that name as the glyph.
    void SetGlyphResource(const wchar_t* name);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return FMargin; }
    // Values below -1 are refused (ignored).
    void SetMargin(int margin);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int spacing);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);

    TAlphaButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    std::function<void()> OnDblClick;

    void SetEnabled(bool enabled) override;
    void SetCaption(const std::string& caption) override;
    void Click() override;
    bool DialogChar(wchar_t ch) override;
    void ActionChanged(const TAction& action) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Whether a point of a mouse message, or the pointer now, is over the button.
    bool Inside(LPARAM clientPoint) const;
    bool PointerInside() const;
    void MouseEnter();
    void MouseLeave();
    void PaintButton(HDC dc);

    TAlphaGlyph FGlyph;
    TBitmap32 FBuffer;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FTransparent = true;
    TAlphaButtonState FState = TAlphaButtonState::bsUp;
    bool FMouseInControl = false;
    bool FPressed = false;
};

} // namespace cv
