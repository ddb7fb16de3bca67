#include "widgets/WizardHeader.h"

#include "platform/TextLines.h"
#include "platform/win32/Win32Text.h"
#include "widgets/AlphaGlyph.h"

#include <map>

namespace cv {

namespace {

// The first character of a UTF-8 text, whole.
std::string FirstCharacter(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        ++length;
    }
    return text.substr(0, length);
}

// Pictures of the symbols the program uses.
// The large picture when the box holds it, else the small one.
std::wstring SymbolPicture(const std::string& symbol, int boxHeight) {
    static const std::map<std::string, std::wstring> pictures = {
        {"6", L"SYMBOL_HOURGLASS"}, {"I", L"SYMBOL_HAND"}, {"=", L"SYMBOL_COMPUTER"}};
    const auto found = pictures.find(symbol);
    if (found == pictures.end()) {
        return {};
    }
    return boxHeight >= 34 ? found->second : found->second + L"_SMALL";
}

} // namespace

TglWizardHeader::TglWizardHeader(TWinControl* parent, std::string name)
    : TGraphicControl(parent, std::move(name)) {
    FBounds = {0, 0, parent != nullptr ? parent->ClientWidth() : 300, 60};
    FCaptionFont = Font();
    FCaptionFont.Bold = true;
    FCommentFont = TFont{};
    FSymbolFont = TFont{"Wingdings", 35, true, false, clHighlightText};
    FGradient.SetFromColor(clHighlight);
    FGradient.SetToColor(clWindow);
    FGradient.SetOrientation(TGradientDir::fgdVertical);
    FGradient.SetActive(true);
    SetAlign(TAlign::alTop);
}

void TglWizardHeader::SetCaptions(const std::vector<std::string>& lines) {
    FCaptions = lines;
    Invalidate();
}

void TglWizardHeader::SetComments(const std::vector<std::string>& lines) {
    FComments = lines;
    Invalidate();
}

void TglWizardHeader::SetCaptionsText(const std::string& text) {
    SetCaptions(SplitTextLines(text));
}

void TglWizardHeader::SetCommentsText(const std::string& text) {
    SetComments(SplitTextLines(text));
}

void TglWizardHeader::SetPageNo(int pageNo) {
    FPageNo = pageNo;
    Invalidate();
    if (FParent != nullptr && FParent->HandleAllocated()) {
        UpdateWindow(FParent->Handle());
    }
}

void TglWizardHeader::SetCaptionFont(const TFont& font) {
    FCaptionFont = font;
    Invalidate();
}

void TglWizardHeader::SetCommentFont(const TFont& font) {
    FCommentFont = font;
    Invalidate();
}

void TglWizardHeader::SetSymbolFont(const TFont& font) {
    FSymbolFont = font;
    Invalidate();
}

void TglWizardHeader::SetSymbol(const std::string& symbol) {
    FSymbol = symbol;
    Invalidate();
}

std::string TglWizardHeader::ShownCaption() const {
    return HeaderLine(FCaptions, FPageNo, "Caption");
}

std::string TglWizardHeader::ShownComment() const {
    if (AllComments && !FComments.empty()) {
        std::string text;
        for (const std::string& line : FComments) {
            text += (text.empty() ? "" : "\r\n") + line;
        }
        return text;
    }
    return HeaderLine(FComments, FPageNo, "Some comment text");
}

int TglWizardHeader::FittingHeight() const {
    const TWindowDC screen;
    return HeaderHeightFor(CaptionLineHeight(screen.Get()),
                           MeasureText(screen.Get(), FCommentFont, ShownComment(), CommentWidth()).cy);
}

int TglWizardHeader::CaptionLineHeight(HDC dc) const {
    return MeasureText(dc, FCaptionFont, "Hy").cy;
}

int TglWizardHeader::CommentWidth() const {
    // The comment wraps before the symbol box, so no word hides behind it.
    const int width = (Width() - 60) - 40 - (FSymbol.empty() ? 0 : kSymbolReserve);
    return std::max(1, width);
}

THeaderAreas TglWizardHeader::Areas(HDC dc) const {
    const int commentHeight = MeasureText(dc, FCommentFont, ShownComment(), CommentWidth()).cy;
    THeaderAreas areas =
        PlaceHeader(Width(), Height(), CaptionLineHeight(dc), commentHeight, FGradient.Active());
    areas.Comment.Right = areas.Comment.Left + CommentWidth();
    return areas;
}

RECT TglWizardHeader::CommentRect() const {
    const THeaderAreas areas = Areas(TWindowDC().Get());
    return {areas.Comment.Left, areas.Comment.Top, areas.Comment.Right, areas.Comment.Bottom};
}

void TglWizardHeader::CollectTexts(std::vector<std::string>& texts) const {
    texts.push_back(ShownCaption());
    texts.push_back(ShownComment());
}

void TglWizardHeader::DrawSymbol(HDC dc, const RECT& box) {
    const std::wstring symbol = toWide(FSymbol);
    {
        // The symbols the program uses are its own pictures, in the same
        // place: symbol fonts differ between systems, and some lack them.
        if (const std::wstring name = SymbolPicture(FSymbol, box.bottom - box.top); !name.empty()) {
            TAlphaGlyph picture;
            if (picture.LoadResource(name.c_str())) {
                // Blended into a copy of the box, then put back.
                TBitmap32 box32;
                const int w = box.right - box.left;
                const int h = box.bottom - box.top;
                box32.SetSize(w, h);
                BitBlt(box32.DC(), 0, 0, w, h, dc, box.left, box.top, SRCCOPY);
                picture.BlendInto(box32, (w - picture.Width() + 1) / 2, (h - picture.Height() + 1) / 2,
                                  {0, 0, w, h}, false);
                GdiFlush();
                BitBlt(dc, box.left, box.top, w, h, box32.DC(), 0, 0, SRCCOPY);
                return;
            }
        }
    }
    const TSelectedObject font(dc, FontHandle(FSymbolFont));
    std::wstring text = symbol;
    if (GetTextCharset(dc) == SYMBOL_CHARSET) {
        for (wchar_t& c : text) {
            c = c < 0x100 ? static_cast<wchar_t>(0xF000 + c) : c; // where symbol fonts keep their pictures
        }
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(FSymbolFont.Color));
    RECT r = box;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TglWizardHeader::Paint(const TPaintContext& context) {
    HDC dc = context.DC;
    FSymbol = FirstCharacter(FSymbol);
    const std::wstring caption = toWide(ShownCaption());
    const std::wstring comment = toWide(ShownComment());
    RECT client = {0, 0, Width(), Height()};
    FillRect(dc, &client, ColorBrush(clWindow));
    SetBkMode(dc, TRANSPARENT);

    const THeaderAreas areas = Areas(dc);

    const TSelectedObject font(dc, FontHandle(FCaptionFont));
    SetTextColor(dc, ColorToRGB(FCaptionFont.Color));
    RECT r = {areas.Caption.Left, areas.Caption.Top, areas.Caption.Right, areas.Caption.Bottom};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);

    font.Select(FontHandle(FCommentFont));
    SetTextColor(dc, ColorToRGB(FCommentFont.Color));
    r = {areas.Comment.Left, areas.Comment.Top, areas.Comment.Right, areas.Comment.Bottom};
    DrawTextW(dc, comment.c_str(), static_cast<int>(comment.size()), &r,
              DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);

    if (!FSymbol.empty()) {
        const RECT box = {areas.Symbol.Left, areas.Symbol.Top, areas.Symbol.Right, areas.Symbol.Bottom};
        FillRect(dc, &box, ColorBrush(clHighlight));
        DrawSymbol(dc, box);
    }
    DrawEdge(dc, &client, EDGE_ETCHED, BF_BOTTOM);
    if (FGradient.Active()) {
        FGradient.Draw(
            dc, {areas.Gradient.Left, areas.Gradient.Top, areas.Gradient.Right, areas.Gradient.Bottom});
    }
}

} // namespace cv
