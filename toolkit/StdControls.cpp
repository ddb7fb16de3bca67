#include "toolkit/StdControls.h"

#include "toolkit/Form.h"
#include "toolkit/ToolTips.h"

#include "platform/win32/Win32Text.h"

#include <algorithm>

namespace cv {

namespace {

void DrawCaption(HDC dc, const TFont& font, const std::string& text, RECT r, UINT format, TColor color) {
    const TSelectedObject selected(dc, FontHandle(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(color));
    const std::wstring wide = toWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, format);
}

} // namespace

// ---- TPanel

TPanel::TPanel(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
    TCreateParams params;
    params.Style = WS_CHILD | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    CreateWindowed(params);
}

void TPanel::SetBevelOuter(TBevelCut cut) {
    BevelOuter = cut;
    Invalidate();
}

void TPanel::PaintSelf(const TPaintContext& context) {
    RECT r = {0, 0, ClientWidth(), ClientHeight()};
    if (BevelOuter != TBevelCut::bvNone) {
        DrawFrame(context.DC, r, BevelOuter == TBevelCut::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER);
    }
    if (!FCaption.empty()) {
        DrawCaption(context.DC, Font(), FCaption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Font().Color);
    }
}

// ---- TLinkLabel

TLinkLabel::TLinkLabel(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
    TCreateParams params;
    params.Style = WS_CHILD;
    FBounds = {0, 0, 65, 13};
    CreateWindowed(params);
    TFont font = Font();
    font.Underline = true;
    font.Color = clBlue;
    SetFont(font);
}

void TLinkLabel::SetCaption(const std::string& caption) {
    TWinControl::SetCaption(caption);
    Invalidate();
}

void TLinkLabel::PaintSelf(const TPaintContext& context) {
    const RECT r = {0, 0, ClientWidth(), ClientHeight()};
    DrawCaption(context.DC, Font(), FCaption, r, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX,
                Font().Color);
}

LRESULT TLinkLabel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_LBUTTONUP:
        Click();
        return 0;
    default:
        return TWinControl::WndProc(message, wParam, lParam);
    }
}

// ---- TLabel

TLabel::TLabel(TWinControl* parent, std::string name, const std::string& caption)
    : TGraphicControl(parent, std::move(name)) {
    FBounds = {0, 0, 65, 13};
    SetCaption(caption);
}

void TLabel::SetCaption(const std::string& caption) {
    TGraphicControl::SetCaption(caption);
    AdjustSize();
}

void TLabel::FontChanged() {
    AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize() {
    if (!AutoSize) {
        return;
    }
    const SIZE size = MeasureText(TWindowDC().Get(), Font(), FCaption.empty() ? std::string(" ") : FCaption,
                                  WordWrap ? Width() : 0);
    const int width = WordWrap ? Width() : static_cast<int>(size.cx);
    int left = Left();
    if (Alignment == TAlignment::taRightJustify) {
        left = FBounds.right - width; // the right edge stays
    }
    if (width != Width() || size.cy != Height() || left != Left()) {
        SetBounds(left, Top(), width, size.cy);
    }
}

void TLabel::Paint(const TPaintContext& context) {
    RECT r = {0, 0, Width(), Height()};
    if (!Transparent) {
        FillRect(context.DC, &r, ColorBrush(FColor));
    }
    UINT format = (WordWrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE) |
                  (ShowAccelChar ? 0 : DT_NOPREFIX) |
                  (Alignment == TAlignment::taCenter         ? DT_CENTER
                   : Alignment == TAlignment::taRightJustify ? DT_RIGHT
                                                             : DT_LEFT);
    if (FEnabled) {
        DrawCaption(context.DC, Font(), FCaption, r, format, Font().Color);
        return;
    }
    // Disabled: embossed, highlight below right, shadow in place.
    RECT shifted = {1, 1, r.right + 1, r.bottom + 1};
    DrawCaption(context.DC, Font(), FCaption, shifted, format, clBtnHighlight);
    DrawCaption(context.DC, Font(), FCaption, r, format, clBtnShadow);
}

// ---- TImage

TImage::TImage(TWinControl* parent, std::string name) : TGraphicControl(parent, std::move(name)) {
    FBounds = {0, 0, 105, 105};
}

bool TImage::LoadBitmapFile(const std::string& path) {
    TGdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(LoadImageW(nullptr, toWide(path).c_str(), IMAGE_BITMAP, 0,
                                                               0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!bitmap) {
        return false;
    }
    FBitmap = std::move(bitmap);
    Invalidate();
    return true;
}

void TImage::SetIcon(HICON icon) {
    FIcon.Reset(icon != nullptr ? CopyIcon(icon) : nullptr);
    Invalidate();
}

void TImage::Paint(const TPaintContext& context) {
    if (FBitmap) {
        const TMemoryDC source(CreateCompatibleDC(context.DC));
        const TSelectedObject selected(source.Get(), FBitmap.Get());
        BitBlt(context.DC, 0, 0, Width(), Height(), source.Get(), 0, 0, SRCCOPY);
    }
    if (!FIcon) {
        return;
    }
    ICONINFO info = {};
    int w = 32;
    int h = 32;
    if (GetIconInfo(FIcon.Get(), &info)) {
        // The icon's bitmaps are copies made for the caller.
        const TGdiObject<HBITMAP> color(info.hbmColor);
        const TGdiObject<HBITMAP> mask(info.hbmMask);
        BITMAP bm = {};
        if (GetObjectW(color ? color.Get() : mask.Get(), sizeof bm, &bm) != 0) {
            w = bm.bmWidth;
            h = color ? bm.bmHeight : bm.bmHeight / 2;
        }
    }
    const int x = Center ? (Width() - w) / 2 : 0;
    const int y = Center ? (Height() - h) / 2 : 0;
    DrawIconEx(context.DC, x, y, FIcon.Get(), w, h, 0, nullptr, DI_NORMAL);
}

// ---- TBevel

TBevel::TBevel(TWinControl* parent, std::string name) : TGraphicControl(parent, std::move(name)) {
    FBounds = {0, 0, 50, 50};
}

void TBevel::Paint(const TPaintContext& context) {
    const COLORREF dark = ColorToRGB(clBtnShadow);
    const COLORREF light = ColorToRGB(clBtnHighlight);
    const COLORREF first = Style == TBevelStyle::bsLowered ? dark : light;
    const COLORREF second = Style == TBevelStyle::bsLowered ? light : dark;
    const int w = Width();
    const int h = Height();
    auto line = [&](int x0, int y0, int x1, int y1, COLORREF color) {
        const TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
        const TSelectedObject selected(context.DC, pen.Get());
        MoveToEx(context.DC, x0, y0, nullptr);
        LineTo(context.DC, x1, y1);
    };
    switch (Shape) {
    case TBevelShape::bsTopLine:
        line(0, 0, w, 0, first);
        line(0, 1, w, 1, second);
        break;
    case TBevelShape::bsBottomLine:
        line(0, h - 2, w, h - 2, first);
        line(0, h - 1, w, h - 1, second);
        break;
    case TBevelShape::bsLeftLine:
        line(0, 0, 0, h, first);
        line(1, 0, 1, h, second);
        break;
    case TBevelShape::bsRightLine:
        line(w - 2, 0, w - 2, h, first);
        line(w - 1, 0, w - 1, h, second);
        break;
    case TBevelShape::bsFrame:
        DrawFrame(context.DC, {0, 0, w, h}, Style == TBevelStyle::bsLowered ? EDGE_ETCHED : EDGE_BUMP);
        break;
    default:
        DrawFrame(context.DC, {0, 0, w, h},
                  Style == TBevelStyle::bsLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
        break;
    }
}

// ---- TShape

TShape::TShape(TWinControl* parent, std::string name) : TGraphicControl(parent, std::move(name)) {
    FBounds = {0, 0, 65, 65};
}

void TShape::Paint(const TPaintContext& context) {
    const TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(BrushColor)));
    const TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorToRGB(PenColor)));
    const TSelectedObject brushSelected(context.DC, brush.Get());
    const TSelectedObject penSelected(context.DC, pen.Get());
    const int w = Width();
    const int h = Height();
    switch (Shape) {
    case TShapeType::stEllipse:
        Ellipse(context.DC, 0, 0, w, h);
        break;
    case TShapeType::stRoundRect:
        RoundRect(context.DC, 0, 0, w, h, std::min(w, h) / 4, std::min(w, h) / 4);
        break;
    default:
        Rectangle(context.DC, 0, 0, w, h);
        break;
    }
}

// ---- TEdit

TEdit::TEdit(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
    FColor = clWindow;
    FBounds = {0, 0, 121, 21};
    TCreateParams params;
    params.ClassName = L"EDIT";
    params.Style = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL;
    params.ExStyle = WS_EX_CLIENTEDGE;
    CreateWindowed(params);
}

void TEdit::SetReadOnly(bool readOnly) {
    SendMessageW(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void TEdit::SelectAll() {
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

bool TEdit::ReflectedCommand(WORD code) {
    if (code == EN_CHANGE && OnChange) {
        OnChange();
    }
    return code == EN_CHANGE;
}

void TEdit::CollectTexts(std::vector<std::string>& texts) const {
    texts.push_back(Text());
}

// ---- TComboBox

TComboBox::TComboBox(TWinControl* parent, std::string name, bool editable)
    : TWinControl(parent, std::move(name)) {
    FColor = clWindow;
    FBounds = {0, 0, 145, 200}; // the height includes the drop-down list
    TCreateParams params;
    params.ClassName = L"COMBOBOX";
    params.Style =
        WS_CHILD | WS_TABSTOP | WS_VSCROLL | (editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
    CreateWindowed(params);
    // The field covers nearly all of an editable combo box and takes its
    // mouse messages: without it the hint would show only over the arrow.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (editable && HandleAllocated() && GetComboBoxInfo(Handle(), &info) && info.hwndItem != nullptr &&
        info.hwndItem != Handle()) {
        AddHintWindow(info.hwndItem);
    }
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
    FItems = items;
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(item).c_str()));
    }
}

int TComboBox::ItemIndex() const {
    return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) {
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TComboBox::ReflectedCommand(WORD code) {
    if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && OnChange) {
        OnChange();
    }
    return false;
}

// ---- TGroupBox

TGroupBox::TGroupBox(TWinControl* parent, std::string name, const std::string& caption)
    : TWinControl(parent, std::move(name)) {
    FCaption = caption;
    FBounds = {0, 0, 185, 105};
    TCreateParams params;
    params.Style = WS_CHILD | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    CreateWindowed(params);
}

void TGroupBox::PaintSelf(const TPaintContext& context) {
    HDC dc = context.DC;
    const SIZE text = MeasureText(dc, Font(), FCaption.empty() ? std::string("0") : FCaption);
    RECT frame = {0, text.cy / 2, ClientWidth(), ClientHeight()};
    DrawFrame(dc, frame, EDGE_ETCHED);
    if (!FCaption.empty()) {
        RECT back = {8, 0, 8 + text.cx + 4, text.cy};
        FillRect(dc, &back, ColorBrush(FColor));
        RECT r = {10, 0, 10 + text.cx, text.cy};
        DrawCaption(dc, Font(), FCaption, r, DT_LEFT | DT_SINGLELINE, FEnabled ? Font().Color : clGrayText);
    }
}

// ---- TRadioGroup

TButton::TButton(TWinControl* parent, std::string name, const std::string& caption)
    : TWinControl(parent, std::move(name)) {
    FCaption = caption;
    TCreateParams params;
    params.ClassName = L"BUTTON";
    params.Style = WS_CHILD | BS_PUSHBUTTON | WS_TABSTOP;
    FBounds = {0, 0, 75, 25};
    CreateWindowed(params);
}

void TButton::Click() {
    TWinControl::Click();
    if (ModalResult == 0) {
        return;
    }
    for (TWinControl* w = Parent(); w != nullptr; w = w->Parent()) {
        if (auto* form = dynamic_cast<TForm*>(w); form != nullptr) {
            form->SetModalResult(ModalResult);
            return;
        }
    }
}

bool TButton::ReflectedCommand(WORD code) {
    if (code == BN_CLICKED) {
        Click();
    }
    return true;
}

class TRadioButton : public TWinControl {
public:
    TRadioButton(TRadioGroup& group, const std::string& caption, bool first)
        : TWinControl(&group, "RadioButton"), FGroup(group) {
        FCaption = caption;
        TCreateParams params;
        params.ClassName = L"BUTTON";
        params.Style = WS_CHILD | BS_RADIOBUTTON | WS_TABSTOP | (first ? WS_GROUP : 0);
        CreateWindowed(params);
    }
    void SetChecked(bool checked) {
        SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

protected:
    bool ReflectedCommand(WORD code) override {
        if (code == BN_CLICKED) {
            FGroup.ButtonClicked(this);
        }
        return true;
    }
    // The dialog manager moves the focus with the arrow keys; the choice
    // follows the focus, as with any dialog's radio buttons.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETFOCUS) {
            FGroup.ButtonClicked(this);
        }
        return TWinControl::WndProc(message, wParam, lParam);
    }

private:
    TRadioGroup& FGroup;
};

TRadioGroup::TRadioGroup(TWinControl* parent, std::string name, const std::string& caption)
    : TGroupBox(parent, std::move(name), caption) {}

TRadioGroup::~TRadioGroup() = default;

TWinControl* TRadioGroup::Button(std::size_t index) const {
    return index < FButtons.size() ? FButtons[index].get() : nullptr;
}

void TRadioGroup::SetItems(const std::vector<std::string>& items) {
    FButtons.clear();
    FItems = items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        FButtons.push_back(std::make_unique<TRadioButton>(*this, items[i], i == 0));
    }
    if (FItemIndex >= static_cast<int>(items.size())) {
        FItemIndex = -1;
    }
    ArrangeButtons();
    SetItemIndex(FItemIndex);
}

void TRadioGroup::SetItemIndex(int index) {
    FItemIndex = index >= 0 && index < static_cast<int>(FButtons.size()) ? index : -1;
    for (std::size_t i = 0; i < FButtons.size(); ++i) {
        FButtons[i]->SetChecked(static_cast<int>(i) == FItemIndex);
    }
}

void TRadioGroup::ButtonClicked(TRadioButton* button) {
    for (std::size_t i = 0; i < FButtons.size(); ++i) {
        if (FButtons[i].get() == button && FItemIndex != static_cast<int>(i)) {
            SetItemIndex(static_cast<int>(i));
            if (OnChange) {
                OnChange();
            }
            return;
        }
    }
}

void TRadioGroup::BoundsChanged() {
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    if (FButtons.empty()) {
        return;
    }
    const int columns = std::max(1, Columns);
    const int rows = static_cast<int>((FButtons.size() + columns - 1) / columns);
    const int top = Font().Height + 6;
    const int rowHeight = std::max(1, (Height() - top - 4) / rows);
    const int columnWidth = (Width() - 16) / columns;
    for (std::size_t i = 0; i < FButtons.size(); ++i) {
        const int column = static_cast<int>(i) / rows;
        const int row = static_cast<int>(i) % rows;
        FButtons[i]->SetBounds(8 + column * columnWidth, top + row * rowHeight + (rowHeight - 17) / 2,
                               columnWidth, 17);
    }
}

} // namespace cv
