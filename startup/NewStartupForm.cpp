#include "startup/NewStartupForm.h"

#include "platform/Errors.h"
#include "startup/StartupText.h"
#include "toolkit/FileDialogs.h"

namespace cv {

TNewStartupForm::TNewStartupForm(TNewEntryCheck check)
    : GroupBox1(Make<TGroupBox>(&Panel1, "GroupBox1", "File Info")),
      Label11(Make<TLabel>(&GroupBox1, "Label11", "Display Name:")),
      EditDisplayName(Make<TEdit>(&GroupBox1, "EditDisplayName")),
      Label2(Make<TLabel>(&GroupBox1, "Label2", "File Location:")),
      EditFileName(Make<TEdit>(&GroupBox1, "EditFileName")),
      BrowseButton(Make<TAlphaButton>(&GroupBox1, "BrowseButton", "&Browse")),
      Label3(Make<TLabel>(&GroupBox1, "Label3", "Run From:")),
      RunFrom(Make<TComboBox>(&GroupBox1, "RunFrom")),
      OKButton(MakeButton("OKButton", "&OK", L"BUTTON_OK", 104, 198, 73, 25, mrNone)),
      CancelButton(MakeButton("CancelButton", "&Cancel", L"BUTTON_CANCEL", 212, 198, 73, 25, mrCancel)),
      FCheck(std::move(check)) {
    // The header as high as the other dialogs': its symbol takes that much.
    SetClientSize(390, 231);
    glWizardHeader1.SetSize(glWizardHeader1.Width(), 65);
    glWizardHeader1.SetCaptionsText("Instruction:");
    glWizardHeader1.SetCommentsText("Fill all fields below then press OK.");

    GroupBox1.SetBounds(8, 72, 374, 118);
    // The labels get room for their words in any of the system's fonts.
    Label11.SetBounds(12, 24, 84, 13);
    EditDisplayName.SetBounds(98, 20, 266, 21);
    EditDisplayName.Hint = "The text you want it to appear as description.";
    Label2.SetBounds(12, 56, 84, 13);
    EditFileName.SetBounds(98, 52, 186, 21);
    EditFileName.Hint = "The file you want to make it run at startup.";
    BrowseButton.SetBounds(290, 50, 75, 25);
    BrowseButton.SetGlyphResource(L"BUTTON_BROWSE");
    BrowseButton.OnClick = [this] { BrowseButtonClick(); };
    Label3.SetBounds(12, 88, 84, 13);
    // A list to choose from: no choice until the user makes one.
    RunFrom.SetBounds(98, 84, 266, 200);
    RunFrom.SetItems(RunFromChoices());
    RunFrom.SetItemIndex(-1);
    RunFrom.Hint = "Run from various location.";

    OKButton.OnClick = [this] { OKButtonClick(); };
    EditDisplayName.OnChange = [this] { UpdateOK(); };
    EditFileName.OnChange = [this] { UpdateOK(); };
    RunFrom.OnChange = [this] { UpdateOK(); };
    // Enter in a field is OK; Esc leaves the dialog open there, as in every
    // dialog with a field (Cancel closes it).
    for (TWinControl* field :
         {static_cast<TWinControl*>(&EditDisplayName), static_cast<TWinControl*>(&EditFileName),
          static_cast<TWinControl*>(&RunFrom)}) {
        field->OnKeyDown = [this](WORD& key) {
            if (key == VK_RETURN) {
                key = 0;
                OKButton.Click();
            }
        };
    }
    UpdateOK();
}

void TNewStartupForm::UpdateOK() {
    OKButton.SetEnabled(!IsBlankName(EditDisplayName.Text()) && !IsBlankName(EditFileName.Text()) &&
                        RunFrom.ItemIndex() >= 0);
}

void TNewStartupForm::BrowseButtonClick() {
    TOpenDialog dialog;
    dialog.Filter = "Programs|*.exe;*.com;*.bat;*.cmd;*.lnk|All files|*.*";
    if (dialog.Execute(Handle())) {
        EditFileName.SetText(dialog.FileName);
        UpdateOK();
    }
}

void TNewStartupForm::OKButtonClick() {
    if (!OKButton.Enabled()) {
        return; // Enter in a field before every field is filled
    }
    const std::string name = EditDisplayName.Text();
    const std::string command = EditFileName.Text();
    const auto runFrom = static_cast<TRunFrom>(RunFrom.ItemIndex());
    if (FCheck) {
        try {
            FCheck(name, command, runFrom);
        } catch (const EStartupError& error) {
            InfoDialog("Warning:", error.what(), false);
            EditDisplayName.SetFocus();
            return;
        }
    }
    if (Item != nullptr) {
        Item->DisplayName = name;
        Item->Command = command;
        Item->RunFrom = runFrom;
    }
    SetModalResult(mrOk);
}

int ShowNewStartupDialog(TStartupItem& holder, TNewEntryCheck check) {
    TNewStartupForm form(std::move(check));
    form.Item = &holder;
    return form.ShowModal();
}

} // namespace cv
