// The dialog that lists the copies of deleted entries, newest first, and
// puts the chosen ones back: File > Restore Deleted Entries... on both pages.
#pragma once

#include "app/DeletedStore.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"

#include <vector>

namespace cv {

class TDeletedEntriesForm : public TForm {
public:
    TDeletedEntriesForm(const TPlatform& platform, std::string folder = {});
    std::string ClassName() const override { return "TDeletedEntriesForm"; }

    TLabel& Label1;
    TListView& ListView;
    TButton& RestoreButton;
    TButton& CloseButton;

    // Whether anything was put back while the dialog was open.
    bool Restored() const { return FRestored; }

    // Reads the store again into the list.
    void Fill();
    // Puts back the chosen rows' entries, asking before replacing one whose
    // place is taken again; tells what could not be put back.
    void RestoreChosen();

private:
    void SyncButtons();

    const TPlatform& FPlatform;
    TDeletedStore FStore;
    std::vector<TDeletedEntry> FEntries;
    bool FRestored = false;
};

// Shows the dialog; true when anything was put back.
bool ShowDeletedEntries(const TPlatform& platform);

} // namespace cv
