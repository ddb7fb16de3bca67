#include "toolkit/Control.h"

#include "platform/win32/Win32Text.h"
#include "toolkit/ToolTips.h"

#include <algorithm>
#include <map>
#include <memory>

namespace cv {

namespace {

bool Overlaps(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

} // namespace

HBRUSH ColorBrush(TColor color) {
    static std::map<TColor, HBRUSH> brushes;
    if (auto found = brushes.find(color); found != brushes.end()) {
        return found->second;
    }
    HBRUSH brush = (color & 0x80000000u) != 0 ? GetSysColorBrush(static_cast<int>(color & 0xFF))
                                              : CreateSolidBrush(ColorToRGB(color));
    brushes.emplace(color, brush);
    return brush;
}

void DrawFrame(HDC dc, RECT r, UINT edge, UINT flags) {
    DrawEdge(dc, &r, edge, flags);
}

// ---- TControl

TControl::TControl(TWinControl* parent, std::string name) : Name(std::move(name)), FParent(parent) {
    if (FParent != nullptr) {
        FParent->Insert(this);
        FColor = FParent->Color();
    }
}

TControl::~TControl() {
    if (FParent != nullptr) {
        FParent->Remove(this);
    }
}

void TControl::SetParentControl(TWinControl* parent) {
    if (FParent != nullptr) {
        FParent->Remove(this);
    }
    FParent = parent;
    if (FParent != nullptr) {
        FParent->Insert(this);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    FBounds = {left, top, left + width, top + height};
    BoundsChanged();
    if (FAlign != TAlign::alNone && FParent != nullptr && !FParent->FAligning) {
        FParent->Realign();
    }
}

void TControl::SetAlign(TAlign align) {
    FAlign = align;
    if (FParent != nullptr) {
        FParent->Realign();
    }
}

void TControl::SetVisible(bool visible) {
    FVisible = visible;
    if (FParent != nullptr && FAlign != TAlign::alNone) {
        FParent->Realign();
    }
}

bool TControl::Showing() const {
    return FVisible && (FParent == nullptr || FParent->Showing());
}

void TControl::SetEnabled(bool enabled) {
    FEnabled = enabled;
}

void TControl::SetCaption(const std::string& caption) {
    FCaption = caption;
}

const TFont& TControl::Font() const {
    static const TFont defaultFont;
    if (FFont) {
        return *FFont;
    }
    return FParent != nullptr ? FParent->Font() : defaultFont;
}

void TControl::SetFont(const TFont& font) {
    FFont = font;
    FontChanged();
}

void TControl::SetColor(TColor color) {
    FColor = color;
    Invalidate();
}

void TControl::CollectTexts(std::vector<std::string>& texts) const {
    if (!FCaption.empty()) {
        texts.push_back(FCaption);
    }
}

void TControl::Click() {
    if (OnClick) {
        OnClick();
    }
}

// ---- TGraphicControl

void TGraphicControl::Invalidate() {
    if (FParent == nullptr || !FParent->HandleAllocated()) {
        return;
    }
    InvalidateRect(FParent->Handle(), &FBounds, FALSE);
    // A windowed sibling over this control shows it through its own painting.
    for (TControl* sibling : FParent->Controls()) {
        if (sibling->IsWindowed() && Overlaps(sibling->BoundsRect(), FBounds)) {
            sibling->Invalidate();
        }
    }
}

void TGraphicControl::BoundsChanged() {
    if (FParent != nullptr && FParent->HandleAllocated()) {
        InvalidateRect(FParent->Handle(), nullptr, FALSE);
    }
}

void TGraphicControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    BoundsChanged();
}

void TGraphicControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    Invalidate();
}

void TGraphicControl::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
    Invalidate();
}

// ---- TWinControl

TWinControl::TWinControl(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {}

TWinControl::~TWinControl() {
    for (TControl* control : FControls) {
        control->FParent = nullptr;
    }
    if (HandleAllocated()) {
        // Before the toolkit hands a system control its own procedure back,
        // which would cut out the tooltip's subclass still stacked on top.
        RemoveHintWindows(Handle());
    }
    DestroyHandle();
}

void TWinControl::Insert(TControl* control) {
    FControls.push_back(control);
}

void TWinControl::Remove(TControl* control) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
    if (HandleAllocated()) {
        InvalidateRect(Handle(), &control->FBounds,
                       FALSE); // no virtual calls: the control is being destroyed
    }
}

void TWinControl::CreateWindowed(TCreateParams params) {
    if (FParent != nullptr && params.Parent == nullptr) {
        params.Parent = FParent->Handle();
        params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
        params.Style &= ~static_cast<DWORD>(WS_POPUP);
        params.Left = FBounds.left;
        params.Top = FBounds.top;
        params.Width = Width();
        params.Height = Height();
    }
    if (FVisible && FParent != nullptr) {
        params.Style |= WS_VISIBLE;
    }
    if (!FEnabled) {
        params.Style |= WS_DISABLED;
    }
    if (params.Caption.empty()) {
        params.Caption = FCaption;
    }
    CreateHandle(params);
    if (HandleAllocated()) {
        AddHintWindow(Handle());
        SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(Font())), FALSE);
        if (FParent == nullptr) {
            GetWindowRect(Handle(), &FBounds);
        }
    }
}

bool TWinControl::Showing() const {
    if (FParent == nullptr) {
        return HandleAllocated() && IsWindowVisible(Handle());
    }
    return TControl::Showing();
}

void TWinControl::Invalidate() {
    if (HandleAllocated()) {
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    FBounds = {left, top, left + width, top + height};
    if (HandleAllocated()) {
        SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    BoundsChanged();
    if (FAlign != TAlign::alNone && FParent != nullptr && !FParent->FAligning) {
        FParent->Realign();
    }
}

void TWinControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (HandleAllocated()) {
        ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
    }
}

void TWinControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (HandleAllocated()) {
        EnableWindow(Handle(), enabled ? TRUE : FALSE);
        Invalidate();
    }
}

void TWinControl::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
    SetText(caption);
}

void TWinControl::SetFocus() const {
    if (HandleAllocated()) {
        ::SetFocus(Handle());
    }
}

int TWinControl::ClientWidth() const {
    RECT r = {0, 0, 0, 0};
    if (HandleAllocated()) {
        GetClientRect(Handle(), &r);
    }
    return r.right;
}

int TWinControl::ClientHeight() const {
    RECT r = {0, 0, 0, 0};
    if (HandleAllocated()) {
        GetClientRect(Handle(), &r);
    }
    return r.bottom;
}

void TWinControl::Realign() {
    if (!HandleAllocated() || FAligning) {
        return;
    }
    FAligning = true;
    RECT r = {0, 0, ClientWidth(), ClientHeight()};
    for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TControl* c : FControls) {
            if (c->FAlign != kind || !c->FVisible) {
                continue;
            }
            const int w = c->Width();
            const int h = c->Height();
            switch (kind) {
            case TAlign::alTop:
                c->SetBounds(r.left, r.top, r.right - r.left, h);
                r.top += h;
                break;
            case TAlign::alBottom:
                c->SetBounds(r.left, r.bottom - h, r.right - r.left, h);
                r.bottom -= h;
                break;
            case TAlign::alLeft:
                c->SetBounds(r.left, r.top, w, r.bottom - r.top);
                r.left += w;
                break;
            case TAlign::alRight:
                c->SetBounds(r.right - w, r.top, w, r.bottom - r.top);
                r.right -= w;
                break;
            default:
                c->SetBounds(r.left, r.top, std::max(0L, r.right - r.left), std::max(0L, r.bottom - r.top));
                break;
            }
        }
    }
    FAligning = false;
}

void TWinControl::FontChanged() {
    if (HandleAllocated()) {
        SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(Font())), TRUE);
        Invalidate();
    }
    for (TControl* c : FControls) {
        if (!c->FFont) {
            c->FontChanged();
        }
    }
}

void TWinControl::PaintWindow(const TPaintContext& context, const TControl* upTo) {
    RECT client = {0, 0, ClientWidth(), ClientHeight()};
    if (FColor != clNone) {
        FillRect(context.DC, &client, ColorBrush(FColor));
    }
    PaintSelf(context);
    for (TControl* c : FControls) {
        if (c == upTo) {
            break;
        }
        if (c->IsWindowed() || !c->FVisible || c->Width() <= 0 || c->Height() <= 0) {
            continue;
        }
        const int saved = SaveDC(context.DC);
        POINT origin;
        GetViewportOrgEx(context.DC, &origin);
        SetViewportOrgEx(context.DC, origin.x + c->Left(), origin.y + c->Top(), nullptr);
        IntersectClipRect(context.DC, 0, 0, c->Width(), c->Height());
        TPaintContext inner = context;
        inner.OriginX += c->Left();
        inner.OriginY += c->Top();
        GdiFlush();
        static_cast<TGraphicControl*>(c)->Paint(inner);
        GdiFlush();
        RestoreDC(context.DC, saved);
    }
}

void TWinControl::PaintBackgroundOf(const TControl& child, const TPaintContext& context) {
    const int saved = SaveDC(context.DC);
    POINT origin;
    GetViewportOrgEx(context.DC, &origin);
    SetViewportOrgEx(context.DC, origin.x - child.Left(), origin.y - child.Top(), nullptr);
    IntersectClipRect(context.DC, child.Left(), child.Top(), child.Left() + child.Width(),
                      child.Top() + child.Height());
    TPaintContext outer = context;
    outer.OriginX -= child.Left();
    outer.OriginY -= child.Top();
    // Graphic controls lie beneath every window; beneath a graphic control
    // lie only those made before it.
    PaintWindow(outer, child.IsWindowed() ? nullptr : &child);
    RestoreDC(context.DC, saved);
}

void TWinControl::CollectTexts(std::vector<std::string>& texts) const {
    TControl::CollectTexts(texts);
    for (const TControl* c : FControls) {
        if (c->Visible()) {
            c->CollectTexts(texts);
        }
    }
}

bool TWinControl::DialogChar(wchar_t ch) {
    for (TControl* c : FControls) {
        if (c->DialogChar(ch)) {
            return true;
        }
    }
    return false;
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        // The children still exist here, not at WM_NCDESTROY.
        RemoveHintWindows(Handle());
        break;
    case WM_SIZE:
    case WM_MOVE:
        if (FParent == nullptr) {
            GetWindowRect(Handle(), &FBounds);
        } else if (FParent->HandleAllocated()) {
            RECT r;
            GetWindowRect(Handle(), &r);
            MapWindowPoints(nullptr, FParent->Handle(), reinterpret_cast<POINT*>(&r), 2);
            FBounds = r;
        }
        if (message == WM_SIZE) {
            Realign();
            if (IsOwnClass()) {
                InvalidateRect(Handle(), nullptr, FALSE);
            }
            if (OnResize) {
                OnResize();
            }
        }
        break;
    case WM_ERASEBKGND:
        if (IsOwnClass()) {
            return 1;
        }
        break;
    case WM_PAINT:
        if (IsOwnClass()) {
            const TPaintScope paint(Handle());
            const int w = ClientWidth();
            const int h = ClientHeight();
            if (FPaintBuffer == nullptr) {
                FPaintBuffer = std::make_unique<TBitmap32>();
            }
            FPaintBuffer->SetSize(std::max(w, 1), std::max(h, 1));
            SetViewportOrgEx(FPaintBuffer->DC(), 0, 0, nullptr);
            SelectClipRgn(FPaintBuffer->DC(), nullptr);
            PaintWindow({FPaintBuffer->DC(), FPaintBuffer.get(), 0, 0}, nullptr);
            GdiFlush();
            BitBlt(paint.DC(), 0, 0, w, h, FPaintBuffer->DC(), 0, 0, SRCCOPY);
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (IsOwnClass()) {
            PaintWindow({reinterpret_cast<HDC>(wParam), nullptr, 0, 0}, nullptr);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        auto* control = dynamic_cast<TControl*>(TWindow::FromHandle(reinterpret_cast<HWND>(lParam)));
        HDC dc = reinterpret_cast<HDC>(wParam);
        const TColor back = control != nullptr ? control->Color() : FColor;
        SetBkColor(dc, ColorToRGB(back));
        if (control != nullptr) {
            SetTextColor(dc, ColorToRGB(control->Font().Color));
        }
        return reinterpret_cast<LRESULT>(ColorBrush(back));
    }
    case WM_KEYDOWN:
        if (OnKeyDown) {
            WORD key = static_cast<WORD>(wParam);
            OnKeyDown(key);
            if (key == 0) {
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return TWindow::WndProc(message, wParam, lParam);
}

} // namespace cv
