// Small chores of the forms: copying a menu item into another menu, and
// showing a form as the page of a tab sheet.
#pragma once

#include "toolkit/ComCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/Menu.h"

#include <memory>

namespace cv {

// Copies caption, click handler, tag and visibility; nothing else.
void CopyMenuItem(const TMenuItem& source, TMenuItem& destination);

// Makes the form with make() on first call (borderless, filling the tab
// sheet), then brings it to the front and shows it; a later call only does
// the latter.
template <class T, class F> T& ShowPageForm(std::unique_ptr<T>& instance, TTabSheet& sheet, F make) {
    if (!instance) {
        instance = make();
        instance->SetParentPage(&sheet);
        instance->SetAlign(TAlign::alClient);
    }
    instance->BringToFront();
    instance->Show();
    return *instance;
}

} // namespace cv
