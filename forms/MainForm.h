// The main window: two tab sheets holding the program's pages, the status
// bar, the actions every page shares, the active page's menu as the menu
// bar, and the window's placement kept in the settings file.
#pragma once

#include "forms/BaseSubForm.h"
#include "platform/Platform.h"
#include "toolkit/ComCtrls.h"

#include <functional>
#include <memory>

namespace cv {

class TMainForm;

// Makes a page for a tab sheet (the uninstaller page, the startup page).
using TPageFactory = std::function<std::unique_ptr<TBaseSubForm>(TMainForm& main)>;

class TMainForm : public TForm, public IPageHost {
public:
    TMainForm(const TPlatform& platform, TPageFactory uninstallerPage, TPageFactory startupPage);
    ~TMainForm() override;
    std::string ClassName() const override { return "TMainForm"; }

    TPageControl& PageControl1;
    TTabSheet& TabSheet1;
    TTabSheet& TabSheet2;
    TStatusBar& StatusBar;

    // The shared actions the pages put in their menus and tool bars.
    TAction HelpContextAction{"HelpContextAction"};
    TAction ExitAction{"ExitAction"};
    TAction AboutAction{"AboutAction"};
    TAction RecommendAction{"RecommendAction"};
    TAction VisitHomeAction{"VisitHomeAction"};

    TAction& HelpAction() override { return HelpContextAction; }
    TAction& ExitProgramAction() override { return ExitAction; }
    TAction& AboutProgramAction() override { return AboutAction; }
    TAction& RecommendProgramAction() override { return RecommendAction; }
    TAction& HomeAction() override { return VisitHomeAction; }
    void ShowPageStatus(const std::string& text) override { StatusBar.SetPanelText(1, text); }

    std::unique_ptr<TBaseSubForm> UninstallerForm;
    std::unique_ptr<TBaseSubForm> StartupForm;
    const TControlsManager& Manager() const { return FManager; }
    bool EverShown() const { return !FFirstShow; }

    // Writes the window's state and bounds to the settings file.
    void SavePlacement();
    // The tab shown first (0 the uninstaller page, 1 the startup page).
    void SetStartPage(int page) { FStartPage = page; }

    static constexpr int kMinWidth = 670;

protected:
    void DoShow() override;

private:
    void LoadPlacement();
    void PageChanging();
    void PageChanged();
    void CloseForm();

    const TPlatform& FPlatform;
    TPageFactory FUninstallerPage;
    TPageFactory FStartupPage;
    TControlsManager FManager;
    bool FFirstShow = true;
    int FStartPage = 0;
};

// A page with nothing on it yet but its menu, bound to the main window's
// shared actions: what a tab holds until its page is built.
std::unique_ptr<TBaseSubForm> MakeEmptyPage(TMainForm& main, const std::string& name);

} // namespace cv
