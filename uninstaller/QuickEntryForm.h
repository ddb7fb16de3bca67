// The small dialog for a file dropped on the program's icon: uninstall the
// application that owns it, move the file to the Recycle Bin, or open the
// program's window.
#pragma once

#include "forms/DialogForms.h"
#include "forms/Program.h"
#include "inventory/UninstallManager.h"

namespace cv {

// The dialog's results: kQuickEntryDone when the file was dealt with (or the
// user cancelled) and the program ends; kQuickEntryShowWindow for the
// program's window.
inline constexpr int kQuickEntryShowWindow = 1;

class TQuickEntryForm : public TWaitDialogForm {
public:
    TQuickEntryForm(const TPlatform& platform, TUninstallManager& inventory);
    std::string ClassName() const override { return "TQuickEntryForm"; }

    TRadioGroup& RadioGroup;
    TAlphaButton& AlphaButton1; // Cancel

    std::string GivenPath;
    const TUninstallItem* OwnerEntry = nullptr;

    // Reads the inventory, finds the owner of GivenPath and offers the choices.
    void FillChoices();

private:
    void OkButtonClick();

    const TPlatform& FPlatform;
    TUninstallManager& FInventory;
    bool FRunning = false;
};

// Shows the dialog for the path; its result.
int ShowQuickEntry(const TPlatform& platform, TUninstallManager& inventory, const std::string& path);

} // namespace cv
