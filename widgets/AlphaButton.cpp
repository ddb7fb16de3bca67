#include "widgets/AlphaButton.h"

#include "toolkit/Action.h"

#include <cctype>

namespace cv {

TAlphaButton::TAlphaButton(TWinControl* parent, std::string name, const std::string& caption)
    : TWinControl(parent, std::move(name)) {
    FCaption = caption;
    FBounds = {0, 0, 48, 48};
    TCreateParams params;
    params.Style = WS_CHILD;
    params.ExStyle = WS_EX_TRANSPARENT;
    CreateWindowed(params);
}

void TAlphaButton::SetGlyphResource(const wchar_t* name) {
    FGlyph.LoadResource(name);
    Invalidate();
}

void TAlphaButton::SetLayout(TButtonLayout layout) {
    if (layout != FLayout) {
        FLayout = layout;
        Invalidate();
    }
}

void TAlphaButton::SetMargin(int margin) {
    if (margin != FMargin && margin >= -1) {
        FMargin = margin;
        Invalidate();
    }
}

void TAlphaButton::SetSpacing(int spacing) {
    if (spacing != FSpacing) {
        FSpacing = spacing;
        Invalidate();
    }
}

void TAlphaButton::SetTransparent(bool transparent) {
    if (transparent != FTransparent) {
        FTransparent = transparent;
        Invalidate();
    }
}

void TAlphaButton::SetEnabled(bool enabled) {
    TWinControl::SetEnabled(enabled);
    FState = enabled ? TAlphaButtonState::bsUp : TAlphaButtonState::bsDisabled;
    if (!enabled) {
        FPressed = false;
        FMouseInControl = false;
    }
    Invalidate();
}

void TAlphaButton::SetCaption(const std::string& caption) {
    TWinControl::SetCaption(caption);
    Invalidate();
}

void TAlphaButton::Click() {
    if (TAction* action = Action(); action != nullptr) {
        action->Execute();
        return;
    }
    TWinControl::Click();
}

bool TAlphaButton::DialogChar(wchar_t ch) {
    const char accel = AcceleratorChar(FCaption);
    if (accel == 0 || ch > 0x7F || std::toupper(static_cast<unsigned char>(ch)) != accel) {
        return false;
    }
    if (!FEnabled || !FVisible || FParent == nullptr || !FParent->Showing()) {
        return false;
    }
    Click();
    return true;
}

void TAlphaButton::ActionChanged(const TAction& action) {
    SetCaption(action.Caption());
    Hint = action.Hint();
    if (action.Enabled() != FEnabled) {
        SetEnabled(action.Enabled());
    }
    if (action.Visible() != FVisible) {
        SetVisible(action.Visible());
    }
}

bool TAlphaButton::Inside(LPARAM clientPoint) const {
    const int x = static_cast<short>(LOWORD(clientPoint));
    const int y = static_cast<short>(HIWORD(clientPoint));
    return x >= 0 && y >= 0 && x < Width() && y < Height();
}

bool TAlphaButton::PointerInside() const {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(Handle(), &p);
    return Inside(MAKELPARAM(p.x, p.y));
}

void TAlphaButton::MouseEnter() {
    if (FEnabled && GetCapture() == nullptr && !FMouseInControl) {
        FMouseInControl = true;
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        Invalidate();
    }
}

void TAlphaButton::MouseLeave() {
    if (FEnabled && !FPressed && FMouseInControl) {
        FMouseInControl = false;
        Invalidate();
    }
}

void TAlphaButton::PaintButton(HDC dc) {
    const int w = ClientWidth();
    const int h = ClientHeight();
    // One pixel more each way than the client, as the buffer always was.
    FBuffer.SetSize(w + 1, h + 1);
    if (FBuffer.DC() == nullptr) {
        return;
    }
    RECT all = {0, 0, w + 1, h + 1};
    FillRect(FBuffer.DC(), &all, ColorBrush(FColor));
    if (FParent != nullptr) {
        FParent->PaintBackgroundOf(*this, {FBuffer.DC(), &FBuffer, 0, 0});
    }
    RECT client = {0, 0, w, h};
    if (!FTransparent) {
        FillRect(FBuffer.DC(), &client, ColorBrush(FColor));
    }
    TGlyphContent content;
    content.Glyph = &FGlyph;
    content.Caption = FCaption;
    content.Font = &Font();
    content.Layout = FLayout;
    content.Margin = FMargin;
    content.Spacing = FSpacing;
    content.Down = FState == TAlphaButtonState::bsDown;
    content.Disabled = FState == TAlphaButtonState::bsDisabled;
    DrawGlyphContent(content, FBuffer.DC(), FBuffer, 0, 0, w, h);
    if (FState == TAlphaButtonState::bsDown) {
        DrawEdge(FBuffer.DC(), &client, BDR_SUNKENOUTER, BF_RECT);
    } else if (FMouseInControl && FState != TAlphaButtonState::bsDisabled) {
        DrawEdge(FBuffer.DC(), &client, BDR_RAISEDINNER, BF_RECT);
    }
    GdiFlush();
    BitBlt(dc, 0, 0, w, h, FBuffer.DC(), 0, 0, SRCCOPY);
}

LRESULT TAlphaButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        const TPaintScope paint(Handle());
        PaintButton(paint.DC());
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintButton(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (FEnabled) {
            FState = TAlphaButtonState::bsDown;
            FPressed = true;
            SetCapture(Handle());
            Invalidate();
            if (message == WM_LBUTTONDBLCLK && OnDblClick) {
                OnDblClick(); // a double click counts only while down, as it is here
            }
        }
        return 0;
    case WM_MOUSEMOVE:
        if (FPressed) {
            const TAlphaButtonState state =
                Inside(lParam) ? TAlphaButtonState::bsDown : TAlphaButtonState::bsUp;
            if (state != FState) {
                FState = state;
                Invalidate();
            }
        } else if (!FMouseInControl) {
            MouseEnter();
        }
        return 0;
    case WM_MOUSELEAVE:
        MouseLeave();
        return 0;
    case WM_LBUTTONUP:
        if (FPressed) {
            FPressed = false;
            const bool inside = Inside(lParam);
            ReleaseCapture();
            FState = FEnabled ? TAlphaButtonState::bsUp : TAlphaButtonState::bsDisabled;
            FMouseInControl = false;
            Invalidate();
            if (inside) {
                Click();
            }
            if (HandleAllocated() && PointerInside()) {
                MouseEnter();
            }
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (FPressed && reinterpret_cast<HWND>(lParam) != Handle()) {
            FPressed = false;
            FState = FEnabled ? TAlphaButtonState::bsUp : TAlphaButtonState::bsDisabled;
            Invalidate();
        }
        return 0;
    case WM_SETFONT:
    case WM_SYSCOLORCHANGE:
        Invalidate();
        break;
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

} // namespace cv
