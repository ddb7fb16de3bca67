// The main window on the real display: placement from the settings file,
// pages and their hooks, the menu that follows the tab, shutdown, and the
// start with a file argument.
#include "UiHarness.h"
#include "app/Settings.h"
#include "forms/Program.h"
#include "platform/Utils.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

std::vector<std::string> Events;

// A page that says when it is activated, left, made and closed.
class TProbePage : public TBaseSubForm {
public:
    explicit TProbePage(std::string name) : TBaseSubForm(name), FName(std::move(name)) {
        Events.push_back("made " + FName);
        MainMenu1.Items().Add("&" + FName);
        SetPageMenu(&MainMenu1);
        OnClose = [this](TCloseAction&) { Events.push_back("closed " + FName); };
    }
    void PageActivated(void* sender) override {
        Events.push_back("activated " + FName + (sender == nullptr ? "" : " with sender"));
    }
    void PageDeactivating() override { Events.push_back("deactivating " + FName); }
    TMenu MainMenu1{false};

private:
    std::string FName;
};

TPageFactory Probe(const char* name) {
    return [name](TMainForm&) { return std::make_unique<TProbePage>(name); };
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Events.clear();
        Win32.Files.RemoveFile(SettingsPath(Platform));
    }
    void TearDown() override {
        TForm::MainForm = nullptr;
        TApplication::Instance().ExceptionFilter = nullptr; // StartProgram's holds this test's platform
        Win32.Files.RemoveFile(SettingsPath(Platform));
    }
    void Store(const std::string& text) { Win32.Files.WriteFile(SettingsPath(Platform), text); }
    std::string Stored() {
        std::string text;
        Win32.Files.ReadFile(SettingsPath(Platform), &text);
        return text;
    }
    std::unique_ptr<TMainForm> Make() {
        auto main = std::make_unique<TMainForm>(Platform, Probe("Uninstaller"), Probe("Startup"));
        TForm::MainForm = main.get();
        return main;
    }
    TWin32Platform Win32;
    const TPlatform& Platform = Win32.Platform;
};

} // namespace

TEST_F(MainFormTest, PlacementComesFromTheSettingsFile) {
    struct Case {
        const char* Name;
        std::string File;
        RECT Expected; // left, top, right, bottom
        bool Maximised;
    };
    const std::vector<Case> cases = {
        {"no file", "", {186, 131, 186 + 699, 131 + 558}, false},
        {"stored",
         "[Main Form]\r\nWindowLeft=10\r\nWindowTop=20\r\nWindowWidth=800\r\nWindowHeight=600\r\n",
         {10, 20, 810, 620},
         false},
        {"too narrow", "[Main Form]\r\nWindowWidth=500\r\n", {186, 131, 186 + 670, 131 + 558}, false},
        {"maximised",
         "[Main Form]\r\nWindowState=2\r\nWindowLeft=10\r\nWindowWidth=800\r\n",
         {186, 131, 186 + 699, 131 + 558},
         true},
    };
    for (const Case& c : cases) {
        Store(c.File);
        auto main = Make();
        main->Show();
        Pump(50);
        EXPECT_EQ(IsZoomed(main->Handle()) != FALSE, c.Maximised) << c.Name;
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        GetWindowPlacement(main->Handle(), &placement);
        // The normal bounds: the stored ones, or the design's when maximised.
        RECT normal;
        GetWindowRect(main->Handle(), &normal);
        if (c.Maximised) {
            normal = placement.rcNormalPosition;
        }
        EXPECT_EQ(normal.left, c.Expected.left) << c.Name;
        EXPECT_EQ(normal.top, c.Expected.top) << c.Name;
        EXPECT_EQ(normal.right - normal.left, c.Expected.right - c.Expected.left) << c.Name;
        EXPECT_EQ(normal.bottom - normal.top, c.Expected.bottom - c.Expected.top) << c.Name;
        main->Hide();
        main.reset();
        Win32.Files.RemoveFile(SettingsPath(Platform));
    }
}

TEST_F(MainFormTest, SwitchingTabsTellsBothPagesAndTheMenuBarFollows) {
    auto main = Make();
    main->Show();
    EXPECT_EQ(Events, (std::vector<std::string>{"made Uninstaller", "made Startup"}));
    EXPECT_EQ(main->Manager().Current(), main->UninstallerForm.get());
    EXPECT_EQ(GetMenu(main->Handle()), main->UninstallerForm->PageMenu()->Handle());
    Events.clear();
    ClickTab(main->PageControl1.Handle(), 1);
    EXPECT_EQ(Events, (std::vector<std::string>{"deactivating Uninstaller", "activated Startup"}));
    EXPECT_EQ(main->Manager().Current(), main->StartupForm.get());
    EXPECT_EQ(GetMenu(main->Handle()), main->StartupForm->PageMenu()->Handle());
    EXPECT_TRUE(IsWindowVisible(main->StartupForm->Handle()));
    Events.clear();
    ClickTab(main->PageControl1.Handle(), 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"deactivating Startup", "activated Uninstaller"}));
    EXPECT_EQ(GetMenu(main->Handle()), main->UninstallerForm->PageMenu()->Handle());
    // The pages fill their sheets.
    EXPECT_EQ(main->UninstallerForm->Width(), main->TabSheet1.ClientWidth());
}

TEST_F(MainFormTest, ASecondShowMakesNothingAgainAndDoesNotReloadThePlacement) {
    auto main = Make();
    main->Show();
    main->SetBounds(50, 60, 700, 500);
    main->Hide();
    Store("[Main Form]\r\nWindowLeft=300\r\n");
    Events.clear();
    main->Show();
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(main->Left(), 50);
    EXPECT_EQ(main->Manager().Pages.size(), 2u);
}

TEST_F(MainFormTest, ClosingClosesStartupThenUninstallerAndWritesThePlacement) {
    auto main = Make();
    main->Show();
    main->SetBounds(40, 50, 720, 540);
    Events.clear();
    main->ExitAction.Execute();
    EXPECT_EQ(Events, (std::vector<std::string>{"closed Startup", "closed Uninstaller"}));
    EXPECT_FALSE(IsWindowVisible(main->Handle()));
    main.reset();
    // Closing the main window ended the program: take its quit message away
    // so the tests after this one still get their messages.
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(Stored(), "[Main Form]\r\nWindowState=0\r\nWindowLeft=40\r\nWindowTop=50\r\nWindowWidth=720\r\n"
                        "WindowHeight=540\r\n");
}

TEST_F(MainFormTest, AFileTheQuickEntryDealtWithEndsTheProgramBeforeTheWindowShows) {
    Store("[Main Form]\r\nWindowLeft=5\r\n");
    std::vector<std::string> asked;
    TProgram program = StartProgram(
        Platform, TStartOptions{"C:\\Tools\\editor.exe"},
        [&](const std::string& file) {
            asked.push_back(file);
            return kQuickEntryDone;
        },
        Probe("Uninstaller"), Probe("Startup"));
    EXPECT_EQ(asked, std::vector<std::string>{"C:\\Tools\\editor.exe"});
    EXPECT_EQ(program.Main, nullptr);
    EXPECT_EQ(program.Splash, nullptr); // no splash picture here
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(RunProgram(program), 0);
    EXPECT_EQ(Stored(), "[Main Form]\r\nWindowLeft=5\r\n");

    // "Show me the UI." goes on as a normal start; no file asks nothing.
    program = StartProgram(
        Platform, TStartOptions{"C:\\Tools\\editor.exe"}, [](const std::string&) { return 1; },
        Probe("Uninstaller"), Probe("Startup"));
    EXPECT_NE(program.Main, nullptr);
    asked.clear();
    program = StartProgram(
        Platform, TStartOptions{},
        [&](const std::string& file) {
            asked.push_back(file);
            return kQuickEntryDone;
        },
        Probe("Uninstaller"), Probe("Startup"));
    EXPECT_TRUE(asked.empty());
    EXPECT_NE(program.Main, nullptr);
}

TEST_F(MainFormTest, ARunStartedAgainOpensOnThePageItWasAskedFor) {
    for (int page : {1, 0}) {
        TStartOptions options;
        options.Page = page;
        TProgram program = StartProgram(Platform, options, nullptr, Probe("Uninstaller"), Probe("Startup"));
        Events.clear();
        program.Main->Show();
        Pump(20);
        EXPECT_EQ(program.Main->PageControl1.ActivePageIndex(), page);
        EXPECT_EQ(program.Main->Manager().Current(),
                  page == 1 ? program.Main->StartupForm.get() : program.Main->UninstallerForm.get());
        if (page == 1) {
            EXPECT_EQ(Events, (std::vector<std::string>{"made Uninstaller", "made Startup",
                                                        "deactivating Uninstaller", "activated Startup"}));
        }
        program.Main->Hide();
        program.Main.reset();
        TForm::MainForm = nullptr;
    }
}

TEST_F(MainFormTest, TheSplashShowsWhenItsPictureIsThereAndGoesOnceTheFirstPageExists) {
    // A 2 x 2 picture of 24 bits.
    std::string bmp =
        std::string("BM") + std::string(4, '\0') + std::string(4, '\0') + std::string("\x36\0\0\0", 4);
    const std::string info =
        std::string("\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0", 16) + std::string(24, '\0');
    bmp += info + std::string(16, '\x7f');
    bmp[2] = static_cast<char>(bmp.size());
    ASSERT_TRUE(Win32.Files.WriteFile(kSplashFile, bmp));
    TApplication::Instance().Title = "Clearvane";
    TProgram program =
        StartProgram(Platform, TStartOptions{}, nullptr, Probe("Uninstaller"), Probe("Startup"));
    Win32.Files.RemoveFile(kSplashFile);
    // The error box's caption; the window's own stays "Clearvane".
    EXPECT_EQ(TApplication::Instance().Title, "Clearvane 2003 V3");
    ASSERT_NE(program.Splash, nullptr);
    EXPECT_TRUE(IsWindowVisible(program.Splash->Handle()));
    EXPECT_EQ(program.Splash->ClientWidth(), 487);
    Pump(250);
    EXPECT_TRUE(IsWindowVisible(program.Splash->Handle())); // the main window has not shown yet
    program.Main->Show();
    for (int i = 0; i < 40 && IsWindowVisible(program.Splash->Handle()); ++i) {
        Pump(50); // its next tick closes it
    }
    EXPECT_FALSE(IsWindowVisible(program.Splash->Handle()));
    EXPECT_FALSE(program.Splash->Timer1.Enabled());
    program.Main->Hide();
}

TEST_F(MainFormTest, TheEmptyPagesMenusCarryTheSharedActions) {
    auto main = std::make_unique<TMainForm>(
        Platform, [](TMainForm& m) { return MakeEmptyPage(m, "UninstallerForm"); },
        [](TMainForm& m) { return MakeEmptyPage(m, "StartupForm"); });
    TForm::MainForm = main.get();
    main->Show();
    HMENU bar = GetMenu(main->Handle());
    ASSERT_NE(bar, nullptr);
    wchar_t text[64] = {};
    GetMenuStringW(GetSubMenu(bar, 1), 0, text, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"Help\tF1");
    // Wine runs every program with administrator rights, and the bar says so.
    ASSERT_TRUE(Win32.Shell.IsAdministrator());
    EXPECT_EQ(main->StatusBar.PanelText(0), "Clearvane 2003 Version 3 (Administrator)");
    EXPECT_EQ(main->Text(), "Clearvane");
    // The tabs say what they hold.
    for (const auto& [index, caption] : {std::pair{0, L"Uninstaller"}, std::pair{1, L"Startup"}}) {
        wchar_t tab[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = tab;
        item.cchTextMax = 64;
        SendMessageW(main->PageControl1.Handle(), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::wstring(tab), caption);
    }
}

TEST_F(MainFormTest, F1OpensTheHelpFileBesideTheProgram) {
    auto main = Make();
    main->Show();
    ASSERT_TRUE(Win32.Files.FileExists(GetAppDir(Platform) + "uninstaller.chm")) << "the build puts it there";
    PostKey(FocusOr(main->Handle()), VK_F1);
    HWND help = nullptr;
    for (int i = 0; i < 200 && help == nullptr; ++i) {
        Pump(50);
        help = FindTopWindow(L"Clearvane Help");
    }
    ASSERT_NE(help, nullptr) << "the help viewer shows the help file's title";
    PostMessageW(help, WM_CLOSE, 0, 0);
    main->Hide();
}

// Made larger, maximised and back, the status bar spans the foot of the
// window and shows what a fresh paint shows: no size grip left behind
// where the corner used to be.
TEST_F(MainFormTest, TheStatusBarFollowsTheWindowAndLeavesNoOldGripBehind) {
    auto main = Make();
    main->Show();
    Pump(50);
    const struct {
        const char* Name;
        std::function<void(HWND)> Change;
    } changes[] = {
        {"maximised", [](HWND w) { ShowWindow(w, SW_MAXIMIZE); }},
        {"restored", [](HWND w) { ShowWindow(w, SW_RESTORE); }},
        {"a little wider",
         [](HWND w) { SetWindowPos(w, nullptr, 0, 0, 720, 560, SWP_NOMOVE | SWP_NOZORDER); }},
        {"wider again", [](HWND w) { SetWindowPos(w, nullptr, 0, 0, 760, 580, SWP_NOMOVE | SWP_NOZORDER); }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.Name);
        change.Change(main->Handle());
        Pump(150);
        RECT screen;
        GetWindowRect(main->StatusBar.Handle(), &screen);
        const TImage32 shown = GrabScreen(screen);
        RedrawWindow(main->StatusBar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Pump(100);
        EXPECT_TRUE(shown.Pixels == GrabScreen(screen).Pixels) << "the bar shows stale drawing";
        RECT client;
        GetClientRect(main->Handle(), &client);
        RECT bar;
        GetWindowRect(main->StatusBar.Handle(), &bar);
        MapWindowPoints(nullptr, main->Handle(), reinterpret_cast<POINT*>(&bar), 2);
        EXPECT_EQ(bar.left, 0);
        EXPECT_EQ(bar.right, client.right);
        EXPECT_EQ(bar.bottom, client.bottom);
    }
    main->Hide();
}

} // namespace cv::test
