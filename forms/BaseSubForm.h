// The pages of the main window: forms that live in its tab sheets, each
// with the menu the main window shows while the page is active, told when
// the user leaves it and when it becomes active; and the small manager
// that knows which page is active.
#pragma once

#include "toolkit/Form.h"

namespace cv {

// What a page sees of the window that hosts it: the actions every page
// shares and the status bar's page panel.
class IPageHost {
public:
    virtual ~IPageHost() = default;
    virtual TAction& HelpAction() = 0;
    virtual TAction& ExitProgramAction() = 0;
    virtual TAction& AboutProgramAction() = 0;
    virtual TAction& RecommendProgramAction() = 0;
    virtual TAction& HomeAction() = 0;
    // The status bar panel that tells the active page's totals.
    virtual void ShowPageStatus(const std::string& text) = 0;
};

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
