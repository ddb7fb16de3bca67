// The pages of the main window: forms that live in its tab sheets, each
// with the menu the main window shows while the page is active, told when
// the user leaves it and when it becomes active; and the small manager
// that knows which page is active.
#pragma once

#include "toolkit/Form.h"

namespace cv {

class TBaseSubForm : public TForm {
public:
    explicit TBaseSubForm(std::string name) : TForm(std::move(name)) {}
    std::string ClassName() const override { return "TBaseSubForm"; }

    // The page has just become the active tab (sender: none from the main window).
    virtual void PageActivated(void* /*sender*/) {}
    // The user is about to switch from this page to another.
    virtual void PageDeactivating() {}

    TMenu* PageMenu() const { return FPageMenu; }
    void SetPageMenu(TMenu* menu) { FPageMenu = menu; }

private:
    TMenu* FPageMenu = nullptr; // the page's own; not owned here
};

class TControlsManager {
public:
    TBaseSubForm* Current() const { return FCurrent; }
    void SetCurrent(TBaseSubForm* page) { FCurrent = page; }
    // The hosted pages in tab order: a tab index is an index here.
    std::vector<TBaseSubForm*> Pages;

private:
    TBaseSubForm* FCurrent = nullptr;
};

} // namespace cv
