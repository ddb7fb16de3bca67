// The white band at the top of the pages and dialogs: a bold caption, an
// indented word-wrapped comment, a coloured box with one symbol character,
// an etched bottom line and a thin gradient above it. It takes no input.
#pragma once

#include "toolkit/Control.h"
#include "widgets/Gradient.h"

#include <string>
#include <vector>

namespace cv {

class TglWizardHeader : public TGraphicControl {
public:
    TglWizardHeader(TWinControl* parent, std::string name);

    const std::vector<std::string>& Captions() const { return FCaptions; }
    const std::vector<std::string>& Comments() const { return FComments; }
    void SetCaptions(const std::vector<std::string>& lines);
    void SetComments(const std::vector<std::string>& lines);
    // A text of several lines becomes one entry per line.
    void SetCaptionsText(const std::string& text);
    void SetCommentsText(const std::string& text);
    int PageNo() const { return FPageNo; }
    void SetPageNo(int pageNo);

    const TFont& CaptionFont() const { return FCaptionFont; }
    const TFont& CommentFont() const { return FCommentFont; }
    const TFont& SymbolFont() const { return FSymbolFont; }
    void SetCaptionFont(const TFont& font);
    void SetCommentFont(const TFont& font);
    void SetSymbolFont(const TFont& font);
    const std::string& Symbol() const { return FSymbol; }
    void SetSymbol(const std::string& symbol);
    TGradient& Gradient() { return FGradient; }
    bool BufferedDraw = false;
    // Every comment line shown at once (a message), rather than the page's one.
    bool AllComments = false;
    // The least height at which the comment shows whole at today's width.
    int FittingHeight() const;

    // What painting shows: the line of each list for the page.
    std::string ShownCaption() const;
    std::string ShownComment() const;
    // The rectangle the comment is drawn in, word-wrapped.
    RECT CommentRect() const;

    void Paint(const TPaintContext& context) override;
    void CollectTexts(std::vector<std::string>& texts) const override;

private:
    static constexpr int kSymbolReserve = 55; // the symbol box and a gap before it
    int CommentWidth() const;
    THeaderAreas Areas(HDC dc) const;
    int CaptionLineHeight(HDC dc) const;
    void DrawSymbol(HDC dc, const RECT& box);
    std::vector<std::string> FCaptions;
    std::vector<std::string> FComments;
    int FPageNo = 0;
    TFont FCaptionFont;
    TFont FCommentFont;
    TFont FSymbolFont;
    std::string FSymbol;
    TGradient FGradient;
};

} // namespace cv
