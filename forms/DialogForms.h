// The program's own message dialogs. Every message, warning and question
// goes through them, never through the system's message boxes: a header
// band with a caption line, the message and a large symbol, the greyed
// product label in the corner, and one or two image buttons. They never
// take the keyboard focus, so the form hears the keys: Esc ends the dialog
// with mrCancel (2), the buttons' letters click them, Enter does nothing.
#pragma once

#include "toolkit/Form.h"
#include "toolkit/StdControls.h"
#include "widgets/AlphaButton.h"
#include "widgets/WizardHeader.h"

namespace cv {

class TBaseDialogForm : public TForm {
public:
    TBaseDialogForm();
    std::string ClassName() const override { return "TBaseDialogForm"; }

    TPanel& Panel1;
    TglWizardHeader& glWizardHeader1;
    TLabel& Label1;

protected:
    // A dialog button with its picture that ends the dialog with a result.
    TAlphaButton& MakeButton(const std::string& name, const std::string& caption, const wchar_t* glyph,
                             int left, int top, int width, int height, int result);
    void PlaceProductLabel();
    // Grows the header, and the dialog with it, until the whole message
    // shows; the buttons move down by as much.
    void FitMessage();

private:
    std::vector<TAlphaButton*> FButtons;
};

class TWaitDialogForm : public TBaseDialogForm {
public:
    TWaitDialogForm();
    std::string ClassName() const override { return "TWaitDialogForm"; }
    // Replace the header's caption lines or comment lines with the text.
    void SetCaptionText(const std::string& text);
    void SetMessageText(const std::string& text);

    TAlphaButton& OkButton;
};

class TWarnDialogForm : public TBaseDialogForm {
public:
    TWarnDialogForm();
    std::string ClassName() const override { return "TWarnDialogForm"; }
    void SetMessageText(const std::string& text);
    const std::string& MessageText() const { return FMessage; }

    TAlphaButton& AlphaButton1;   // Yes
    TAlphaButton& WarnDialogForm; // No

private:
    std::string FMessage;
};

class TConfirmForm : public TBaseDialogForm {
public:
    TConfirmForm();
    std::string ClassName() const override { return "TConfirmForm"; }
    void SetMessageText(const std::string& text);
    const std::string& MessageText() const { return FMessage; }

    TAlphaButton& AlphaButton1; // Yes
    TAlphaButton& AlphaButton3; // No

private:
    std::string FMessage;
};

// The sound each dialog makes (MessageBeep's type); a test may listen instead.
extern std::function<void(unsigned type)> DialogBeep;

void InfoDialog(const std::string& caption, const std::string& message, bool information);
// 6 for Yes, 7 for No, 2 for Esc.
int WarnDialog(const std::string& message);
int ConfirmDialog(const std::string& message);

} // namespace cv
