// The dialog that lists the bad entries Autofix is about to delete.
#pragma once

#include "inventory/UninstallManager.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"

namespace cv {

class TBadEntriesForm : public TForm {
public:
    TBadEntriesForm();
    std::string ClassName() const override { return "TBadEntriesForm"; }

    TImage& Image1;
    TLabel& Label1;
    TListView& ListView;
    TButton& Button1; // Yes
    TButton& Button2; // No
    TImageList ImageList1{32, 32};
    TImageList ImageList2{16, 16};
};

// Shows the bad entries Autofix offers (AutofixItems), in the inventory's
// order; 6 for Yes, 7 for No, 2 when the window is closed otherwise.
int ShowBadEntries(const TUninstallManager& inventory);

} // namespace cv
