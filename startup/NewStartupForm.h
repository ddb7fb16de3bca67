// The dialog behind the startup page's New: a name, the file to start and
// the store it starts from. It fills the holder it is given and writes
// nothing itself; OK is offered once all three are given, and a name the
// stores would refuse is refused here, before anything is written.
#pragma once

#include "forms/DialogForms.h"
#include "startup/StartupItem.h"
#include "toolkit/StdControls.h"

#include <functional>

namespace cv {

// Throws EStartupError for an entry that could not be saved as it stands.
using TNewEntryCheck =
    std::function<void(const std::string& displayName, const std::string& command, TRunFrom runFrom)>;

class TNewStartupForm : public TBaseDialogForm {
public:
    explicit TNewStartupForm(TNewEntryCheck check = {});
    std::string ClassName() const override { return "TNewStartupForm"; }

    // Filled by OK; belongs to the caller.
    TStartupItem* Item = nullptr;

    TGroupBox& GroupBox1;
    TLabel& Label11;
    TEdit& EditDisplayName;
    TLabel& Label2;
    TEdit& EditFileName;
    TAlphaButton& BrowseButton;
    TLabel& Label3;
    TComboBox& RunFrom;
    TAlphaButton& OKButton;
    TAlphaButton& CancelButton;

private:
    void UpdateOK();
    void BrowseButtonClick();
    void OKButtonClick();
    TNewEntryCheck FCheck;
};

// 1 (OK) with the holder filled, or 2 (Cancel) with it untouched.
int ShowNewStartupDialog(TStartupItem& holder, TNewEntryCheck check = {});

} // namespace cv
