// Pictures of the dialogs and of an image button in each of its states,
// saved to screenshots/ in the build folder (scripts/screenshots.sh copies
// them to docs/screenshots).
#include "UiHarness.h"
#include "UninstallerPageFixture.h"
#include "app/Settings.h"
#include "forms/AboutForm.h"
#include "forms/DialogForms.h"
#include "forms/MainForm.h"
#include "platform/PathText.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"
#include "platform/win32/Win32Platform.h"
#include "startup/NewStartupForm.h"
#include "startup/StartupForm.h"
#include "uninstaller/BadEntriesForm.h"
#include "uninstaller/QuickEntryForm.h"
#include "uninstaller/SearchForm.h"
#include "widgets/AlphaButton.h"

#include "app/DeletedStore.h"
#include "forms/DeletedEntriesForm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace cv::test {

namespace {

// Answers each modal form by taking its picture and closing it with Esc.
int Photograph(TModalInfo& info, const std::string& name) {
    Pump(300);
    SavePng(CaptureWindow(info.Handle), ScreenshotPath(name));
    PostKey(FocusOr(info.Handle), VK_ESCAPE);
    return kRunModalLoop;
}

} // namespace

TEST(Screenshots, EachDialog) {
    DialogBeep = [](unsigned) {};
    {
        TResponderScope scope([](TModalInfo& info) { return Photograph(info, "dialog-info"); });
        InfoDialog("No bad entries!", "Everything looks fine!", true);
    }
    {
        TResponderScope scope([](TModalInfo& info) { return Photograph(info, "dialog-warning"); });
        WarnDialog("Are you sure you want to save the changes?");
    }
    {
        TResponderScope scope([](TModalInfo& info) { return Photograph(info, "dialog-confirm"); });
        ConfirmDialog("Are you sure you want to uninstall Example Editor 2.1?");
    }
    {
        TResponderScope scope([](TModalInfo& info) {
            if (auto* form = dynamic_cast<TSearchForm*>(TWindow::FromHandle(info.Handle)); form != nullptr) {
                form->TextToSearch.SetText("notes");
            }
            const int result = Photograph(info, "dialog-search");
            // Esc in the text field leaves the dialog open: Cancel closes it.
            PostChar(FocusOr(info.Handle), L'c', true);
            return result;
        });
        AskSearchText();
    }
    {
        // Two applications whose files are gone, on the in-memory platform.
        TSubstitutePlatform sub;
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        for (const char* name : {"Old Toolbar 1.0", "Trial Game 0.9"}) {
            reg.OpenKey(std::string(kUninstallKey) + "\\" + name, true);
            reg.WriteString("DisplayName", name);
            reg.WriteString("UninstallString", "C:\\Gone\\uninst.exe");
            reg.CloseKey();
        }
        TFileInfoManager info(sub.Platform);
        TUninstallManager inventory(sub.Platform, info);
        inventory.SetCheckFiles(true);
        inventory.Refresh();
        TResponderScope scope([](TModalInfo& info) { return Photograph(info, "dialog-bad-entries"); });
        ShowBadEntries(inventory);
    }
    {
        TWin32Platform platform;
        TResponderScope scope([](TModalInfo& info) {
            Pump(900); // the logo has faded in part of the way
            return Photograph(info, "dialog-about");
        });
        ShowAbout(platform.Platform);
    }
}

TEST(Screenshots, AButtonUpUnderTheMouseDownAndDisabled) {
    TForm form("ButtonForm");
    form.SetBounds(60, 60, 400, 200);
    form.Show();
    auto& header = form.Make<TglWizardHeader>(&form, "Header");
    header.SetSize(header.Width(), 75);
    header.SetCaptions({" "});
    header.SetComments({" "});
    header.SetSymbol("=");
    auto& toolbar = form.Make<TAlphaButton>(&form, "Refresh", "&Refresh");
    toolbar.SetBounds(8, 3, 64, 68);
    toolbar.SetGlyphResource(L"GLYPH_REFRESH");
    toolbar.SetLayout(TButtonLayout::blGlyphTop);
    toolbar.SetSpacing(0);
    auto& dialog = form.Make<TAlphaButton>(&form, "Yes", "&Yes");
    dialog.SetBounds(8, 100, 65, 25);
    dialog.SetGlyphResource(L"BUTTON_YES");

    std::vector<TImage32> shots;
    for (TAlphaButton* button : {&toolbar, &dialog}) {
        shots.push_back(PrintClient(button->Handle())); // up
        POINT inside = {button->Width() / 2, button->Height() / 2};
        ClientToScreen(button->Handle(), &inside);
        for (int i = 0; i < 40; ++i) {
            SetCursorPos(inside.x, inside.y);
            POINT at;
            GetCursorPos(&at);
            if (at.x == inside.x && at.y == inside.y) {
                break;
            }
            Sleep(10);
        }
        SendMessageW(button->Handle(), WM_MOUSEMOVE, 0,
                     MAKELPARAM(button->Width() / 2, button->Height() / 2));
        EXPECT_TRUE(button->MouseInControl());
        shots.push_back(PrintClient(button->Handle())); // under the mouse
        SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        shots.push_back(PrintClient(button->Handle())); // down
        ReleaseCapture();
        button->SetEnabled(false);
        shots.push_back(PrintClient(button->Handle())); // disabled
        button->SetEnabled(true);
    }
    SavePng(SideBySide({shots[0], shots[1], shots[2], shots[3]}, 6, 0xFFFFFF),
            ScreenshotPath("button-toolbar-states"));
    SavePng(SideBySide({shots[4], shots[5], shots[6], shots[7]}, 6, 0xFFFFFF),
            ScreenshotPath("button-dialog-states"));
}

// On the demo machine when the screenshot script seeded one, else on a few
// entries of its own.
class PageScreenshots : public UninstallerPageTest {
protected:
    void SetUp() override {
        OnDemo = std::getenv("CLEARVANE_DEMO_PREFIX") != nullptr;
        NeedsEmptyPrefix = !OnDemo;
        UninstallerPageTest::SetUp();
    }
    bool OnDemo = false;
};

// The page in each view style, with a new (red) application and a bad entry selected.
TEST_F(PageScreenshots, TheUninstallerPageInEachViewStyle) {
    const char* const newOne = OnDemo ? "Tidy Notes 1.7" : "Note Taker 1.4";
    if (!OnDemo) {
        const struct {
            HKey Root;
            const char* Name;
            const char* Icon; // empty: the entry's files are gone
        } apps[] = {
            {kHKeyLocalMachine, "Example Editor 2.1", "C:\\windows\\notepad.exe"},
            {kHKeyLocalMachine, "Registry Tools 1.0", "C:\\windows\\regedit.exe"},
            {kHKeyLocalMachine, "Old Toolbar 1.0", ""},
            {kHKeyLocalMachine, "Photo Viewer Lite 3.0", "C:\\windows\\system32\\winecfg.exe"},
            {kHKeyCurrentUser, "Note Taker 1.4", "C:\\windows\\system32\\wordpad.exe"},
            {kHKeyCurrentUser, "Task Panel 2", "C:\\windows\\system32\\taskmgr.exe"},
            {kHKeyCurrentUser, "Backup Helper 5", ""},
        };
        for (const auto& app : apps) {
            const bool gone = *app.Icon == 0;
            MakeEntry(app.Root, app.Name,
                      {{"DisplayName", app.Name},
                       {"UninstallString", gone ? Gone() : Intact()},
                       {"DisplayIcon", gone ? "C:\\cv-gone\\app.ico" : app.Icon}});
        }
    }
    // Every name but one was there at the last run.
    std::string record;
    TUninstallManager inventory(Platform, Info);
    inventory.Refresh();
    for (const auto& [name, entry] : inventory.Items) {
        if (name != newOne) {
            record += name + "\r\n";
        }
    }
    const char* const styles[] = {"large-icons", "small-icons", "list", "report"};
    for (int style = 0; style < 4; ++style) {
        WriteRecord(record);
        Win32.Files.WriteFile(SettingsPath(Platform),
                              "[Clearvane]\r\nViewStyle=" + std::to_string(style) +
                                  "\r\nColumn0=170\r\nColumn1=190\r\nColumn2=260\r\n");
        Open();
        Main->SetBounds(20, 20, 699, 558);
        for (int i = 0; i < List().Count(); ++i) {
            if (List().ItemText(i) == "Old Toolbar 1.0") {
                List().SetSelected(i);
            }
        }
        Pump(300);
        SavePng(CaptureWindow(Main->Handle()),
                ScreenshotPath(std::string("uninstaller-page-") + styles[style]));
        CloseMain();
    }
}

// App Info of an application of the 32-bit view, with its links and values.
TEST_F(PageScreenshots, TheDetailsDialog) {
    const char* const name = OnDemo ? "Radio Clock 1.3" : "Example Editor 2.1";
    if (!OnDemo) {
        MakeEntry(kHKeyLocalMachine, name,
                  {{"DisplayName", name},
                   {"UninstallString", Intact()},
                   {"DisplayIcon", "C:\\windows\\notepad.exe"},
                   {"Publisher", "Example Makers"},
                   {"HelpLink", "https://example.example/help"}});
    }
    Open();
    Main->SetBounds(20, 20, 699, 558);
    for (int i = 0; i < List().Count(); ++i) {
        if (List().ItemText(i) == name) {
            List().SetSelected(i);
        }
    }
    List().SetFocus();
    Pump(100);
    TApplication::Instance().SetModalResponder(
        [](TModalInfo& info) { return Photograph(info, "dialog-details"); });
    Page().DetailsAction.Execute();
    TApplication::Instance().SetModalResponder(nullptr);
    CloseMain();
}

// The system's file dialogs of Backup and Restore, as the user sees them:
// a second thread waits for each, takes its picture and cancels it.
TEST_F(PageScreenshots, TheBackupFileDialogs) {
    Open();
    Main->SetBounds(20, 20, 699, 558);
    TApplication::Instance().SetModalResponder(nullptr); // the real dialogs
    for (const auto& [title, shot] : {std::pair{L"Backup Uninstall Info", "dialog-backup-save"},
                                      std::pair{L"Restore Uninstall Info", "dialog-backup-open"}}) {
        std::thread photographer([title = std::wstring(title), name = std::string(shot)] {
            const ULONGLONG start = GetTickCount64();
            HWND dialog = nullptr;
            while (dialog == nullptr && GetTickCount64() - start < 20000) {
                Sleep(100);
                dialog = FindTopWindow(title);
            }
            if (dialog == nullptr) {
                return;
            }
            Sleep(700); // its folder listed
            SavePng(CaptureWindow(dialog), ScreenshotPath(name));
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        if (std::wstring(title).starts_with(L"Backup")) {
            Page().SaveListAction.Execute();
        } else {
            Page().LoadListAction.Execute();
        }
        photographer.join();
    }
    CloseMain();
}

// The copies of deleted entries, with a selected row, before a restore.
TEST_F(PageScreenshots, TheRestoreDeletedEntriesDialog) {
    TDeletedStore store(Platform);
    const std::vector<TDeletedEntry> before = store.List();
    const struct {
        HKey Root;
        TRegView View;
        const char* Name;
    } entries[] = {{kHKeyLocalMachine, kRegView32, "Legacy Scanner 1.8"},
                   {kHKeyCurrentUser, kRegViewNative, "Pixel Paint 2.2 (old copy)"},
                   {kHKeyLocalMachine, kRegViewNative, "Sample Viewer 0.9"}};
    for (const auto& e : entries) {
        const std::string path = std::string(kUninstallKey) + "\\" + e.Name;
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(e.Root);
        reg.SetView(e.View);
        ASSERT_TRUE(reg.OpenKey(path, true));
        reg.WriteString("DisplayName", e.Name);
        store.SaveKey(e.Root, e.View, path, e.Name);
        reg.CloseKey();
        reg.DeleteKey(path);
    }
    Open();
    Main->SetBounds(20, 20, 699, 558);
    TApplication::Instance().SetModalResponder([](TModalInfo& info) {
        auto& form = dynamic_cast<TDeletedEntriesForm&>(*TWindow::FromHandle(info.Handle));
        form.ListView.SetSelected(1);
        return Photograph(info, "dialog-restore-deleted");
    });
    Page().RestoreDeletedAction.Execute();
    TApplication::Instance().SetModalResponder(nullptr);
    CloseMain();
    // Only the copies made here go.
    for (const TDeletedEntry& entry : store.List()) {
        if (std::none_of(before.begin(), before.end(),
                         [&](const TDeletedEntry& b) { return b.Id == entry.Id; })) {
            const std::string base = TDeletedStore::DefaultFolder(Platform) + "\\" + entry.Id;
            Win32.Files.RemoveFile(base + ".txt");
            Win32.Files.RemoveFile(base + ".reg");
        }
    }
}

// The quick entry for a demo program dropped on the program's icon.
TEST_F(PageScreenshots, TheQuickEntry) {
    if (!OnDemo) {
        GTEST_SKIP() << "pictured on the demo machine";
    }
    TUninstallManager inventory(Platform, Info);
    inventory.Refresh();
    std::string program;
    for (const auto& [name, entry] : inventory.Items) {
        if (name == "Pixel Paint 2.4") {
            program = IncludeTrailingBackslash(entry->InstallLocation) + "PixelPaint.exe";
        }
    }
    ASSERT_FALSE(program.empty());
    TResponderScope scope([](TModalInfo& info) { return Photograph(info, "dialog-quick-entry"); });
    ShowQuickEntry(Platform, inventory, program);
}

// The startup page on the demo machine, whose eight stores each hold an
// entry, half of them switched off, and one more switched off by Windows;
// and the new-entry dialog filled in.
TEST(Screenshots, TheStartupPageAndItsDialog) {
    if (std::getenv("CLEARVANE_DEMO_PREFIX") == nullptr) {
        GTEST_SKIP() << "the startup page is pictured on the demo machine";
    }
    DialogBeep = [](unsigned) {};
    TWin32Platform platform;
    const TFileInfoManager info(platform.Platform);
    TMainForm main(
        platform.Platform, [](TMainForm& m) { return MakeEmptyPage(m, "UninstallerForm"); },
        [&](TMainForm& m) -> std::unique_ptr<TBaseSubForm> {
            return std::make_unique<TStartupForm>(m, platform.Platform, info);
        });
    TForm::MainForm = &main;
    main.Show();
    main.SetBounds(20, 20, 699, 558);
    ClickTab(main.PageControl1.Handle(), 1);
    auto& page = dynamic_cast<TStartupForm&>(*main.StartupForm);
    TListView& list = page.StartupFrame.ListView;
    list.SetFocus();
    // The entry Windows itself switched off, whose facts the foot shows; else the second row.
    int selected = list.Count() > 1 ? 1 : 0;
    for (int i = 0; i < list.Count(); ++i) {
        if (page.ItemEntry(i) != nullptr && page.ItemEntry(i)->OffInWindows) {
            selected = i;
        }
    }
    list.SetSelected(selected);
    SetCursorPos(0, 0); // no button under the pointer, no tip
    Pump(300);
    SavePng(CaptureWindow(main.Handle()), ScreenshotPath("startup-page"));
    {
        TResponderScope scope([](TModalInfo& info) {
            if (auto* form = dynamic_cast<TNewStartupForm*>(TWindow::FromHandle(info.Handle));
                form != nullptr) {
                form->EditDisplayName.SetText("Photo Frame Sync");
                form->EditFileName.SetText("C:\\Program Files\\Photo Frame\\sync.exe");
                form->RunFrom.SetItemIndex(3);
                form->RunFrom.OnChange();
            }
            const int result = Photograph(info, "dialog-new-startup-entry");
            PostChar(FocusOr(info.Handle), L'c', true); // Esc stays in the field: Cancel closes it
            return result;
        });
        page.NewAction.Execute();
    }
    main.Close();
    TForm::MainForm = nullptr;
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    platform.Files.RemoveFile(SettingsPath(platform.Platform));
}

} // namespace cv::test
