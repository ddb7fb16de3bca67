// Small chores of the forms: showing a form as the page of a tab sheet, a
// menu item bound to an action.
#pragma once

#include "forms/BaseSubForm.h"
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

// The pages' Help menu: Help, About and, shown as the default, Recommend.
inline void AddHelpMenu(TMenu& menu, IPageHost& host) {
    TMenuItem& help = menu.Items().Add("&Help");
    ActionItem(help, host.HelpAction());
    help.Add("-");
    ActionItem(help, host.AboutProgramAction());
    help.Add("-");
    ActionItem(help, host.RecommendProgramAction()).SetDefault(true);
}

// Items bound to the actions at the head of a menu, in their order.
inline void InsertActionItems(TMenuItem& menu, std::initializer_list<TAction*> actions) {
    std::size_t at = 0;
    for (TAction* action : actions) {
        menu.Insert(at++, {}).SetAction(action);
    }
}

} // namespace cv
