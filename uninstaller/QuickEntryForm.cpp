#include "uninstaller/QuickEntryForm.h"

#include "uninstaller/QuickEntry.h"
#include "uninstaller/UninstallerText.h"

#include <algorithm>

namespace cv {

TQuickEntryForm::TQuickEntryForm(const TPlatform& platform, TUninstallManager& inventory)
    : RadioGroup(Make<TRadioGroup>(&Panel1, "RadioGroup", "Choose your operation")),
      AlphaButton1(
          MakeButton("AlphaButton1", "&Cancel", L"BUTTON_CANCEL", 186, 154, 75, 25, kQuickEntryDone)),
      FPlatform(platform), FInventory(inventory) {
    SetClientSize(353, 186);
    SetCaption("Clearvane");
    glWizardHeader1.SetCaptions({"Which will be your choice?"});
    glWizardHeader1.SetComments({"Clearvane analysises your operation and provides you below choice."});
    glWizardHeader1.SetSymbolFont({"Arial", 35, true, false, clHighlightText});
    glWizardHeader1.SetSymbol("?");
    RadioGroup.SetBounds(8, 68, 337, 81);
    OkButton.SetBounds(92, 154, 75, 25);
    OkButton.OnClick = [this] { OkButtonClick(); };
    // The header grows until its whole comment shows; the rest moves down with it.
    const int grow = std::max(0, glWizardHeader1.FittingHeight() - glWizardHeader1.Height());
    FitMessage();
    RadioGroup.SetBounds(RadioGroup.Left(), RadioGroup.Top() + grow, RadioGroup.Width(), RadioGroup.Height());
    // The radio buttons hold the focus, so the form hears Esc first: it
    // cancels, and ends the program as Cancel does.
    KeyPreview = true;
    OnKeyDown = [this](WORD& key) {
        if (key == VK_ESCAPE && !FRunning) {
            key = 0;
            SetModalResult(kQuickEntryDone);
        }
    };
}

void TQuickEntryForm::FillChoices() {
    FInventory.Refresh();
    OwnerEntry = FindOwnerEntry(FPlatform, FInventory, GivenPath);
    RadioGroup.SetItems(QuickEntryChoices(OwnerEntry, GivenPath));
    RadioGroup.SetItemIndex(0);
}

void TQuickEntryForm::OkButtonClick() {
    if (FRunning) {
        return; // an uninstaller of ours is running
    }
    const int choice = RadioGroup.ItemIndex();
    const int last = static_cast<int>(RadioGroup.Items().size()) - 1;
    if (choice < 0 || choice == last) {
        SetModalResult(kQuickEntryShowWindow);
        return;
    }
    if (OwnerEntry != nullptr && choice == 0) {
        // The dialog stays on screen while the uninstaller and whatever it
        // starts run; a second OK cannot start it again.
        FRunning = true;
        OkButton.SetEnabled(false);
        AlphaButton1.SetEnabled(false);
        RadioGroup.SetEnabled(false);
        TStartError error;
        const bool started = FInventory.RunUninstallerAndWait(*OwnerEntry, &error);
        FRunning = false;
        if (!started) {
            // Said, and the dialog stays for another choice.
            OkButton.SetEnabled(true);
            AlphaButton1.SetEnabled(true);
            RadioGroup.SetEnabled(true);
            InfoDialog("Error", NotStartedText(OwnerEntry->UninstallString, error.Message), false);
            return;
        }
        SetModalResult(kQuickEntryDone);
        return;
    }
    // Into the Recycle Bin, never erased without a word: the user can take
    // it back. A shortcut goes itself, never its target.
    if (!FPlatform.Files.MoveToRecycleBin(GivenPath)) {
        InfoDialog("Warning:",
                   "\"" + GivenPath + "\" could not be moved to the Recycle Bin; it is still there.", false);
        return; // the dialog stays for another choice
    }
    SetModalResult(kQuickEntryDone);
}

int ShowQuickEntry(const TPlatform& platform, TUninstallManager& inventory, const std::string& path) {
    TQuickEntryForm form(platform, inventory);
    form.GivenPath = path;
    form.FillChoices();
    // Only "Show me the UI." opens the window; Cancel, Esc and the close box end the program.
    return form.ShowModal() == kQuickEntryShowWindow ? kQuickEntryShowWindow : kQuickEntryDone;
}

} // namespace cv
