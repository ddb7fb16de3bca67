// Controls: the pieces a form is built from. A graphic control has no
// window of its own and is painted by its parent, in creation order, into
// the parent's off-screen buffer (so it can blend with what lies below it);
// a windowed control is a window, of the toolkit's own class or a system
// class. Every control has a name, bounds relative to its parent's client
// area, an alignment that docks it to a side of the parent, visibility,
// enabled state, a caption and a font it takes from its parent unless set.
#pragma once

#include "toolkit/Graphics.h"
#include "toolkit/Window.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cv {

class TWinControl;
class TBitmap32;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Where a graphic control paints: the DC has the control's top-left at 0, 0
// and is clipped to it; Buffer is the parent's 32-bit buffer, with the
// control at OriginX, OriginY in it.
struct TPaintContext {
    HDC DC = nullptr;
    TBitmap32* Buffer = nullptr;
    int OriginX = 0;
    int OriginY = 0;
};

class TControl {
public:
    TControl(TWinControl* parent, std::string name);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    const std::string Name;
    int Tag = 0;
    std::string Hint;
    std::function<void()> OnClick;

    TWinControl* Parent() const { return FParent; }
    // Moves the control into another parent's list of controls.
    void SetParentControl(TWinControl* parent);
    int Left() const { return FBounds.left; }
    int Top() const { return FBounds.top; }
    int Width() const { return FBounds.right - FBounds.left; }
    int Height() const { return FBounds.bottom - FBounds.top; }
    RECT BoundsRect() const { return FBounds; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetSize(int width, int height) { SetBounds(Left(), Top(), width, height); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool visible);
    // Visible, and so is every parent up to the form.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool enabled);

    const std::string& Caption() const { return FCaption; }
    virtual void SetCaption(const std::string& caption);

    // The control's own font, or its parent's while it has none.
    const TFont& Font() const;
    void SetFont(const TFont& font);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);

    virtual bool IsWindowed() const = 0;
    virtual void Invalidate() = 0;
    // The texts the control shows, for the modal responder and tests.
    virtual void CollectTexts(std::vector<std::string>& texts) const;
    // The accelerator letter of a dialog typed: true when this control took it.
    virtual bool DialogChar(wchar_t /*ch*/) { return false; }
    virtual void Click();

protected:
    friend class TWinControl;
    virtual void BoundsChanged() {}
    virtual void FontChanged() {}
    TWinControl* FParent;
    RECT FBounds = {0, 0, 0, 0};
    TAlign FAlign = TAlign::alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FCaption;
    std::optional<TFont> FFont;
    TColor FColor = clBtnFace;
};

class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    bool IsWindowed() const override { return false; }
    void Invalidate() override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetCaption(const std::string& caption) override;
    virtual void Paint(const TPaintContext& context) = 0;

protected:
    void BoundsChanged() override;
    void FontChanged() override { Invalidate(); }
};

class TWinControl : public TControl, public TWindow {
public:
    TWinControl(TWinControl* parent, std::string name);
    ~TWinControl() override;

    bool IsWindowed() const override { return true; }
    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetCaption(const std::string& caption) override;

    bool Showing() const override;
    int ClientWidth() const;
    int ClientHeight() const;
    const std::vector<TControl*>& Controls() const { return FControls; }
    // Docks the aligned children to their sides again.
    void Realign();
    // Paints what this window shows beneath the child (its background and
    // the graphic controls under it) into the DC, the child's corner at 0, 0.
    void PaintBackgroundOf(const TControl& child, const TPaintContext& context);
    bool Focused() const { return HandleAllocated() && GetFocus() == Handle(); }
    void SetFocus() const;

    std::function<void(WORD& key)> OnKeyDown;
    std::function<void()> OnResize;

    void CollectTexts(std::vector<std::string>& texts) const override;
    bool DialogChar(wchar_t ch) override;

protected:
    friend class TControl;
    friend class TGraphicControl;
    // Makes the window: WS_CHILD of the parent at the control's bounds
    // unless the parameters say otherwise.
    void CreateWindowed(TCreateParams params);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // What an own-class window paints of itself, above its colour and below
    // its graphic controls.
    virtual void PaintSelf(const TPaintContext& /*context*/) {}
    void PaintWindow(const TPaintContext& context, const TControl* upTo);
    void FontChanged() override;

private:
    bool FAligning = false;
    std::unique_ptr<TBitmap32> FPaintBuffer;
    void Insert(TControl* control);
    void Remove(TControl* control);
    std::vector<TControl*> FControls;
};

// Paints a control's caption-less edge, as the system draws them.
void DrawFrame(HDC dc, RECT r, UINT edge, UINT flags = BF_RECT);
// A solid brush of the colour, kept for the program's life.
HBRUSH ColorBrush(TColor color);

} // namespace cv
