#include "forms/MainForm.h"

#include "app/Settings.h"
#include "forms/AboutForm.h"
#include "forms/FormUtils.h"
#include "platform/Utils.h"
#include "resources/Version.h"

namespace cv {

namespace {

const char* const kHomePage = "https://clearvane.example/?ref=SOFTWARE";
const char* const kRecommendPage = "https://clearvane.example/recommend";
#define CLEARVANE_STRINGIFY(x) #x
#define CLEARVANE_NUMBER(x) CLEARVANE_STRINGIFY(x)
const char* const kVersionStatus = "Clearvane 2003 Version " CLEARVANE_NUMBER(CLEARVANE_VERSION_MAJOR);

} // namespace

TMainForm::TMainForm(const TPlatform& platform, TPageFactory uninstallerPage, TPageFactory startupPage)
    : TForm("MainForm"), PageControl1(Make<TPageControl>(this, "PageControl1")),
      TabSheet1(PageControl1.AddPage("TabSheet1", "Uninstaller")),
      TabSheet2(PageControl1.AddPage("TabSheet2", "Startup")), StatusBar(Make<TStatusBar>(this, "StatusBar")),
      FPlatform(platform), FUninstallerPage(std::move(uninstallerPage)),
      FStartupPage(std::move(startupPage)) {
    SetCaption("Clearvane");
    SetBounds(186, 131, 699, 558);
    SetWindowLongPtrW(PageControl1.Handle(), GWL_STYLE,
                      GetWindowLongPtrW(PageControl1.Handle(), GWL_STYLE) | TCS_BOTTOM);
    PageControl1.SetAlign(TAlign::alClient);
    PageControl1.SetActivePageIndex(0);
    PageControl1.OnChanging = [this](bool&) { PageChanging(); };
    PageControl1.OnChange = [this] { PageChanged(); };
    // A run with administrator rights says so: its changes reach every user.
    if (platform.Shell.IsAdministrator()) {
        StatusBar.SetPanels({{270, std::string(kVersionStatus) + " (Administrator)"}, {300, ""}});
    } else {
        StatusBar.SetPanels({{180, kVersionStatus}, {300, ""}});
    }

    HelpContextAction.SetCaption("Help");
    HelpContextAction.SetHint("Open the help");
    HelpContextAction.SetShortCut({VK_F1});
    HelpContextAction.OnExecute = [this] { ShellOpen(FPlatform, GetAppDir(FPlatform) + "uninstaller.chm"); };
    ExitAction.SetCaption("Exit");
    ExitAction.SetHint("Close Clearvane");
    ExitAction.OnExecute = [this] { Close(); };
    AboutAction.SetCaption("About");
    AboutAction.OnExecute = [this] { ShowAbout(FPlatform); };
    RecommendAction.SetCaption("Recommend to friends");
    RecommendAction.OnExecute = [this] { ShellOpen(FPlatform, kRecommendPage); };
    VisitHomeAction.SetCaption("Home");
    VisitHomeAction.SetHint("Open the Clearvane web site");
    VisitHomeAction.OnExecute = [this] { ShellOpen(FPlatform, kHomePage); };
    for (TAction* action :
         {&HelpContextAction, &ExitAction, &AboutAction, &RecommendAction, &VisitHomeAction}) {
        AddAction(*action);
    }
    OnClose = [this](TCloseAction&) { CloseForm(); };
}

TMainForm::~TMainForm() {
    if (EverShown()) {
        try {
            SavePlacement();
        } catch (const std::exception& error) {
            TApplication::Instance().HandleException(error);
        }
    }
    SetMenu(nullptr); // the pages own their menus and go first
    StartupForm.reset();
    UninstallerForm.reset();
}

void TMainForm::DoShow() {
    if (!FFirstShow) {
        return;
    }
    FFirstShow = false;
    SetMinWidth(kMinWidth);
    LoadPlacement();
    ShowPageForm(UninstallerForm, TabSheet1, [this] { return FUninstallerPage(*this); });
    ShowPageForm(StartupForm, TabSheet2, [this] { return FStartupPage(*this); });
    FManager.Pages = {UninstallerForm.get(), StartupForm.get()};
    FManager.SetCurrent(UninstallerForm.get());
    SetMenu(UninstallerForm->PageMenu());
    if (FStartPage > 0 && FStartPage < static_cast<int>(FManager.Pages.size())) {
        PageChanging();
        PageControl1.SetActivePageIndex(FStartPage);
        PageChanged();
    }
}

void TMainForm::LoadPlacement() {
    const TMainFormPlacement stored = LoadMainFormPlacement(FPlatform);
    if (stored.WindowState == 2) {
        // Maximised; the bounds it returns to stay the window's own.
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        GetWindowPlacement(Handle(), &placement);
        placement.rcNormalPosition = BoundsRect();
        placement.showCmd = SW_SHOWMAXIMIZED;
        SetWindowPlacement(Handle(), &placement);
        return;
    }
    SetBounds(stored.WindowLeft, stored.WindowTop, stored.WindowWidth, stored.WindowHeight);
}

void TMainForm::SavePlacement() {
    TMainFormPlacement placement;
    placement.WindowState = WindowState();
    placement.WindowLeft = Left();
    placement.WindowTop = Top();
    placement.WindowWidth = Width();
    placement.WindowHeight = Height();
    SaveMainFormPlacement(FPlatform, placement);
}

void TMainForm::PageChanging() {
    if (FManager.Current() != nullptr) {
        FManager.Current()->PageDeactivating();
    }
}

void TMainForm::PageChanged() {
    const int index = PageControl1.ActivePageIndex();
    if (index < 0 || index >= static_cast<int>(FManager.Pages.size())) {
        return;
    }
    TBaseSubForm* page = FManager.Pages[static_cast<std::size_t>(index)];
    page->PageActivated(nullptr);
    FManager.SetCurrent(page);
    SetMenu(page->PageMenu());
}

void TMainForm::CloseForm() {
    // No input reaches the window while its pages close (an error box of a
    // page's close runs a message loop).
    const bool wasEnabled = IsWindowEnabled(Handle()) != FALSE;
    EnableWindow(Handle(), FALSE);
    // The startup page first, then the uninstaller page: each keeps what it keeps.
    if (StartupForm) {
        StartupForm->Close();
    }
    if (UninstallerForm) {
        UninstallerForm->Close();
    }
    if (wasEnabled) {
        EnableWindow(Handle(), TRUE); // a modal dialog still open enables it itself
    }
}

namespace {

// An empty page and the menu it shows while active.
class TEmptyPage : public TBaseSubForm {
public:
    TEmptyPage(TMainForm& main, std::string name) : TBaseSubForm(std::move(name)) {
        TMenuItem& file = MainMenu1.Items().Add("&File");
        file.Add({}).SetAction(&main.ExitAction);
        TMenuItem& help = MainMenu1.Items().Add("&Help");
        for (TAction* action : {&main.HelpContextAction, &main.VisitHomeAction, &main.RecommendAction}) {
            help.Add({}).SetAction(action);
        }
        help.Add("-");
        help.Add({}).SetAction(&main.AboutAction);
        SetPageMenu(&MainMenu1);
    }
    TMenu MainMenu1{false};
};

} // namespace

std::unique_ptr<TBaseSubForm> MakeEmptyPage(TMainForm& main, const std::string& name) {
    return std::make_unique<TEmptyPage>(main, name);
}

} // namespace cv
