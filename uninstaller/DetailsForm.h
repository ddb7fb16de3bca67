// The details dialog: one entry's icon and name, its recorded facts with
// their links, and every value of its key in a grid the user may edit and
// save back after a warning.
#pragma once

#include <cstdint>
#include <optional>

#include "inventory/UninstallManager.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"
#include "toolkit/ValueListEditor.h"
#include "widgets/AlphaButton.h"

namespace cv {

class TDetailsForm : public TForm {
public:
    explicit TDetailsForm(const TPlatform& platform);
    std::string ClassName() const override { return "TDetailsForm"; }

    TPanel& TopBand;
    TImage& Image1;
    TLabel& LblInfo;
    TGroupBox& Details;
    TLabel& lblPublisher;
    TLabel& lblVersion;
    TLinkLabel& lblHelpInfo;
    TLinkLabel& lblAboutInfo;
    TLinkLabel& lblUpdateInfo;
    TLabel& lblTelephone;
    TLabel& Label1;
    TValueListEditor& ValueList;
    TAlphaButton& Button1;      // Save
    TAlphaButton& AlphaButton1; // Close

    // Fills the dialog from a copy of the entry: the dialog never reaches
    // into the inventory, which may change while it is open.
    // The icon is the one the page's list shows for it (the dialog copies it).
    void LoadEntry(const TUninstallItem& entry, HICON icon);
    const TUninstallItem* Entry() const { return FEntry.get(); }
    // The stamp of the key's values after the last save here; none when
    // nothing was saved.
    std::optional<std::uint64_t> SavedStamp() const { return FSavedStamp; }

private:
    void ShowFacts(const TUninstallItem& entry);
    void GoToURLClick(const TLinkLabel& label);
    void SaveClick();

    const TPlatform& FPlatform;
    std::unique_ptr<TUninstallItem> FEntry;
    std::optional<std::uint64_t> FSavedStamp;
    std::vector<TValueText> FLoaded; // the values the grid was filled from
};

// Shows the dialog for the entry, modally.
// Returns the stamp of the key's values as last saved in the dialog, or
// none when nothing was saved.
std::optional<std::uint64_t> ShowDetails(const TPlatform& platform, const TUninstallItem& entry, HICON icon);

} // namespace cv
