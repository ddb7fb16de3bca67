#include "forms/DialogForms.h"

namespace cv {

std::function<void(unsigned type)> DialogBeep = [](unsigned type) { MessageBeep(type); };

namespace {

const TFont kCaptionFont{"MS Sans Serif", 13, true, false, clWindowText};
const TFont kCommentFont{"MS Sans Serif", 11, false, false, clWindowText};

} // namespace

TBaseDialogForm::TBaseDialogForm()
    : TForm("BaseDialogForm", nullptr, TBorderStyle::bsDialog), Panel1(Make<TPanel>(this, "Panel1")),
      glWizardHeader1(Make<TglWizardHeader>(&Panel1, "glWizardHeader1")),
      Label1(Make<TLabel>(&Panel1, "Label1", "Clearvane")) {
    SetCaption("Clearvane");
    CenterOnMainForm = true;
    SetClientSize(365, 117);
    Panel1.SetBevelOuter(TBevelCut::bvNone);
    Panel1.SetAlign(TAlign::alClient);

    glWizardHeader1.SetSize(glWizardHeader1.Width(), 65);
    glWizardHeader1.SetCaptions({"Instruction:"});
    glWizardHeader1.SetComments({"Close this dialog when uninstalling process is finished."});
    glWizardHeader1.SetPageNo(0);
    glWizardHeader1.SetCaptionFont(kCaptionFont);
    glWizardHeader1.SetCommentFont(kCommentFont);
    glWizardHeader1.SetSymbolFont({"Wingdings", 35, true, false, clHighlightText});
    glWizardHeader1.SetSymbol("6");
    glWizardHeader1.Gradient().SetFromColor(clHighlight);
    glWizardHeader1.Gradient().SetToColor(clWindow);
    glWizardHeader1.Gradient().SetOrientation(TGradientDir::fgdVertical);
    glWizardHeader1.Gradient().SetActive(true);
    glWizardHeader1.BufferedDraw = false;
    glWizardHeader1.AllComments = true; // a message shows every line

    Label1.SetEnabled(false);
    Panel1.OnResize = [this] { PlaceProductLabel(); };
    PlaceProductLabel();

    OnKeyDown = [this](WORD& key) {
        if (key == VK_ESCAPE) {
            SetModalResult(mrCancel);
            key = 0;
        }
    };
}

void TBaseDialogForm::PlaceProductLabel() {
    Label1.SetBounds(Panel1.ClientWidth() - Label1.Width() - 6, Panel1.ClientHeight() - Label1.Height() - 4,
                     Label1.Width(), Label1.Height());
}

TAlphaButton& TBaseDialogForm::MakeButton(const std::string& name, const std::string& caption,
                                          const wchar_t* glyph, int left, int top, int width, int height,
                                          int result) {
    auto& button = Make<TAlphaButton>(&Panel1, name, caption);
    button.SetBounds(left, top, width, height);
    button.SetGlyphResource(glyph);
    button.OnClick = [this, result] { SetModalResult(result); };
    FButtons.push_back(&button);
    return button;
}

void TBaseDialogForm::FitMessage() {
    const int grow = glWizardHeader1.FittingHeight() - glWizardHeader1.Height();
    if (grow <= 0) {
        return;
    }
    glWizardHeader1.SetSize(glWizardHeader1.Width(), glWizardHeader1.Height() + grow);
    for (TAlphaButton* button : FButtons) {
        button->SetBounds(button->Left(), button->Top() + grow, button->Width(), button->Height());
    }
    SetClientSize(ClientWidth(), ClientHeight() + grow);
}

TWaitDialogForm::TWaitDialogForm()
    : OkButton(MakeButton("OkButton", "&OK", L"BUTTON_OK", 120, 72, 65, 24, mrOk)) {
    SetClientSize(308, 100);
}

void TWaitDialogForm::SetCaptionText(const std::string& text) {
    glWizardHeader1.SetCaptionsText(text);
}

void TWaitDialogForm::SetMessageText(const std::string& text) {
    glWizardHeader1.SetCommentsText(text);
    FitMessage();
}

TWarnDialogForm::TWarnDialogForm()
    : AlphaButton1(MakeButton("AlphaButton1", "&Yes", L"BUTTON_YES", 80, 99, 65, 25, mrYes)),
      WarnDialogForm(MakeButton("WarnDialogForm", "&No", L"BUTTON_NO", 192, 99, 65, 25, mrNo)) {
    SetClientSize(365, 135);
    glWizardHeader1.SetSize(glWizardHeader1.Width(), 81);
    TFont caption = kCaptionFont;
    caption.Color = clNavy;
    glWizardHeader1.SetCaptionFont(caption);
    TFont comment = kCommentFont;
    comment.Color = clRed;
    glWizardHeader1.SetCommentFont(comment);
    glWizardHeader1.SetCaptions({"Warning:"});
    glWizardHeader1.SetSymbol("I");
}

void TWarnDialogForm::SetMessageText(const std::string& text) {
    FMessage = text;
    glWizardHeader1.SetCommentsText(text);
    FitMessage();
}

TConfirmForm::TConfirmForm()
    : AlphaButton1(MakeButton("AlphaButton1", "&Yes", L"BUTTON_YES", 80, 75, 65, 25, mrYes)),
      AlphaButton3(MakeButton("AlphaButton3", "&No", L"BUTTON_NO", 192, 75, 65, 25, mrNo)) {
    SetClientSize(341, 109);
    glWizardHeader1.SetCaptions({"Confirm:"});
}

void TConfirmForm::SetMessageText(const std::string& text) {
    FMessage = text;
    glWizardHeader1.SetCommentsText(text);
    FitMessage();
}

void InfoDialog(const std::string& caption, const std::string& message, bool information) {
    TWaitDialogForm dialog;
    DialogBeep(information ? MB_ICONASTERISK : 0);
    dialog.SetCaptionText(caption);
    dialog.SetMessageText(message);
    dialog.ShowModal();
}

int WarnDialog(const std::string& message) {
    TWarnDialogForm dialog;
    dialog.SetMessageText(message);
    DialogBeep(MB_ICONEXCLAMATION);
    return dialog.ShowModal();
}

int ConfirmDialog(const std::string& message) {
    TConfirmForm dialog;
    DialogBeep(MB_ICONQUESTION);
    dialog.SetMessageText(message);
    return dialog.ShowModal();
}

} // namespace cv
