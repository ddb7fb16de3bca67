// Small chores of the forms: showing a form as the page of a tab sheet, a
// menu item bound to an action.
#pragma once

#include "toolkit/ComCtrls.h"
#include "toolkit/Form.h"

#include <memory>

namespace cv {

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

// A new last item of the menu, bound to the action.
inline TMenuItem& ActionItem(TMenuItem& parent, TAction& action) {
    TMenuItem& item = parent.Add({});
    item.SetAction(&action);
    return item;
}

} // namespace cv
