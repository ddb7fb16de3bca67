// The uninstaller page in the main window, on the real registry, shell and
// file system of the Wine prefix: the list, the record of the last run,
// the information panel, search, view settings, the icon cycle and closing.
#include "UninstallerPageFixture.h"

#include "app/Settings.h"
#include "uninstaller/SearchForm.h"

#include <gtest/gtest.h>

namespace cv::test {

TEST_F(UninstallerPageTest, AFirstRunMarksNothingAndItsCloseRecordsEveryEnumeratedEntry) {
    MakeApp(kHKeyLocalMachine, "Alpha Demo", Intact());
    MakeApp(kHKeyCurrentUser, "Beta Demo", Gone());
    MakeEntry(kHKeyCurrentUser, "NoName", {{"UninstallString", Intact()}});
    MakeEntry(kHKeyCurrentUser, "NoCommand", {{"DisplayName", "Gamma Without Command"}});
    MakeEntry(kHKeyLocalMachine, "Modify", {{"DisplayName", "Delta Fixed"}, {"UninstallString", Intact()}},
              {{"NoModify", 1}});
    MakeEntry(kHKeyLocalMachine, "Remove", {{"DisplayName", "Epsilon Kept"}, {"UninstallString", Intact()}},
              {{"NoRemove", 1}});
    Open();
    EXPECT_TRUE(Dialogs.empty()) << "no hint without a record";
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha Demo", "Beta Demo"}));
    for (int i = 0; i < List().Count(); ++i) {
        EXPECT_FALSE(Entry(i)->New);
    }
    CloseMain();
    // Every entry, listed or not, in enumeration order: HKEY_LOCAL_MACHINE
    // first, subkeys in the registry's order.
    EXPECT_EQ(Record(),
              "Alpha Demo\r\nDelta Fixed\r\nEpsilon Kept\r\nBeta Demo\r\nGamma Without Command\r\n\r\n");
}

TEST_F(UninstallerPageTest, NewApplicationsAreRedAndHintedOnceAgainstTheRecord) {
    struct TCase {
        const char* Name;
        const char* Record;
        std::vector<bool> New; // per listed item: Alpha, Beta, Gamma
    };
    const TCase cases[] = {
        {"empty record", "", {true, true, true}},
        {"letter case alone is no news", "ALPHA demo\r\nbeta DEMO\r\nGAMMA DEMO\r\n", {false, false, false}},
        {"one new, odd line ends", "Alpha Demo\nGamma Demo\r", {false, true, false}},
    };
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    MakeApp(kHKeyCurrentUser, "Beta Demo", Intact());
    MakeApp(kHKeyCurrentUser, "Gamma Demo", Gone());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteRecord(c.Record);
        Win32.Files.WriteFile(SettingsPath(Platform), "[Clearvane]\r\nViewStyle=3\r\n");
        Dialogs.clear();
        Open();
        ASSERT_EQ(List().Count(), 3);
        bool anyNew = false;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Entry(i)->New, c.New[static_cast<std::size_t>(i)]) << i;
            anyNew = anyNew || Entry(i)->New;
        }
        if (anyNew) {
            ASSERT_EQ(Dialogs.size(), 1u);
            EXPECT_EQ(Dialogs[0].Caption, "Clearvane");
            EXPECT_TRUE(HasText(Dialogs[0], "Hint"));
            EXPECT_TRUE(HasText(Dialogs[0],
                                "Clearvane has detected that there are new installed applications "
                                "since last run, they are marked RED."));
            // A new item is drawn red with white text; an old one is not.
            List().SetSelected(-1);
            Pump(20);
            const TImage32 shot = PrintClient(List().Handle());
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(RowHasRed(shot, i), Entry(i)->New) << i;
            }
        } else {
            EXPECT_TRUE(Dialogs.empty());
        }
        // A refresh compares with the same record again: the marks stay, no second hint.
        const std::size_t hints = Dialogs.size();
        Page().RefreshAction.Execute();
        WaitForCycle();
        EXPECT_EQ(Dialogs.size(), hints);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Entry(i)->New, c.New[static_cast<std::size_t>(i)]) << i;
        }
        CloseMain();
    }
}

TEST_F(UninstallerPageTest, TheCycleMarksBadEntriesWithTheirIconAndCountsThem) {
    MakeApp(kHKeyLocalMachine, "Alpha Demo", Intact());
    MakeApp(kHKeyLocalMachine, "Beta Gone", Gone());
    MakeApp(kHKeyCurrentUser, "Gamma Demo", Intact());
    MakeApp(kHKeyCurrentUser, "Delta Gone", Gone());
    MakeApp(kHKeyCurrentUser, "Epsilon Gone", Gone());
    MakeEntry(kHKeyCurrentUser, "Hidden", {{"DisplayName", "Hidden Gone"}, {"UninstallString", Gone()}},
              {{"NoRemove", 1}});
    Open();
    EXPECT_EQ(StatusText(), "Total 5 applications,3 bad entries");
    const TUninstallManager& inventory = *Page().Inventory();
    for (int i = 0; i < List().Count(); ++i) {
        SCOPED_TRACE(List().ItemText(i));
        const bool gone = List().ItemText(i).find("Gone") != std::string::npos;
        EXPECT_EQ(Entry(i)->Bad, gone);
        EXPECT_EQ(List().ItemImage(i) == inventory.RubbishIconIndex, gone);
        EXPECT_NE(List().ItemImage(i), inventory.InstallIconIndex)
            << "the helper program has an icon of its own";
    }
    EXPECT_EQ(List().Selected(), 0) << "the cycle selected the first item";
}

TEST_F(UninstallerPageTest, RefreshDoesNothingDuringACycleAndRebuildsAfterIt) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    Open(/*waitForCycle=*/false);
    ASSERT_FALSE(Page().CanRebuild()) << "the worker cannot go on until we handle messages";
    const TDrawIconThread* first = Page().IconThread();
    MakeApp(kHKeyCurrentUser, "Beta Demo", Intact());
    Page().RefreshAction.Execute();
    EXPECT_EQ(Page().IconThread(), first);
    EXPECT_EQ(List().Count(), 1);
    WaitForCycle();
    PostKey(FocusOr(List().Handle()), VK_F5); // through the page's accelerator table
    Pump(50);
    WaitForCycle();
    EXPECT_NE(Page().IconThread(), first);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha Demo", "Beta Demo"}));
    EXPECT_EQ(StatusText(), "Total 2 applications,0 bad entries");
}

// Every row keeps a place of its own when the list is built again, in
// every view: an icon view lays its rows out only when told to.
TEST_F(UninstallerPageTest, EveryRowHasItsOwnPlaceAfterARefreshInEachView) {
    for (const char* name : {"Alpha Demo", "Beta Demo", "Gamma Demo", "Delta Demo"}) {
        MakeApp(kHKeyCurrentUser, name, Intact());
    }
    for (const int style : {0, 1, 2, 3}) {
        SCOPED_TRACE(style);
        Win32.Files.WriteFile(SettingsPath(Platform),
                              "[Clearvane]\r\nViewStyle=" + std::to_string(style) + "\r\n");
        Open();
        for (int build = 0; build < 2; ++build) {
            SCOPED_TRACE(build == 0 ? "first show" : "after Refresh");
            if (build == 1) {
                Page().RefreshAction.Execute();
                WaitForCycle();
            }
            Pump(50);
            ASSERT_EQ(List().Count(), 4);
            EXPECT_EQ(OverlappingRows(List().Handle()), "");
        }
        CloseMain();
    }
}

TEST_F(UninstallerPageTest, TheSelectionSetsTheActionsAndThePanel) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    MakeApp(kHKeyCurrentUser, "Beta Gone", Gone());
    Open();
    TUninstallerForm& page = Page();
    struct TCase {
        int Select;
        bool Uninstall, Clear, Info;
        const char* Title;
        const char* Advice;
        TColor Colour;
    };
    const std::string goodAdvice = "    This application \"Alpha Demo\" can be safely uninstalled.Press "
                                   "below \"Uninstall\" button to perform.";
    const std::string badAdvice =
        "    This application: \"Beta Gone\" has possibly been destroied and can't be "
        "uninstalled correctly.But you still can delete the entry from registry.";
    const TCase cases[] = {
        {1, false, true, true, "Beta Gone", badAdvice.c_str(), clRed},
        {-1, false, false, false, "Beta Gone", badAdvice.c_str(), clRed}, // deselected: the panel stays
        {0, true, true, true, "Alpha Demo", goodAdvice.c_str(), clNavy},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Select);
        List().SetSelected(c.Select);
        Pump(20);
        EXPECT_EQ(page.UninstallAction.Enabled(), c.Uninstall);
        EXPECT_EQ(page.DeleteEntryAction.Enabled(), c.Clear);
        EXPECT_EQ(page.DetailsAction.Enabled(), c.Info);
        EXPECT_EQ(IsWindowEnabled(page.UninstallButton.Handle()) != 0, c.Uninstall);
        EXPECT_EQ(page.TitleLabel.Caption(), c.Title);
        EXPECT_EQ(page.InfoLabel.Caption(), c.Advice);
        EXPECT_EQ(page.InfoLabel.Font().Color, c.Colour);
        EXPECT_TRUE(page.BorderShape.Visible());
        EXPECT_TRUE(page.LblUnisntallInfo.Visible());
        EXPECT_NE(page.Image1.Icon(), nullptr);
    }
}

TEST_F(UninstallerPageTest, SearchFindsTheFirstCaptionContainingTheTextAndACancelChangesNothing) {
    for (const char* name : {"Alpha Tool", "Beta Viewer", "Gamma Viewer Pro", "Delta Tool"}) {
        MakeApp(kHKeyCurrentUser, name, Intact());
    }
    Open();
    struct TCase {
        const char* Text;
        int Result;
        int Selected; // afterwards
    };
    const TCase cases[] = {
        {"viewer", mrOk, 1},          {"TOOL", mrOk, 0}, {"ta v", mrOk, 1}, {"pro", mrCancel, 1},
        {"nothing like it", mrOk, 1}, {"", mrOk, 1},     {"ol", mrOk, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TModalInfo seen;
        TResponderScope scope([&](TModalInfo& info) {
            seen = info;
            auto* form = dynamic_cast<TSearchForm*>(TWindow::FromHandle(info.Handle));
            if (form == nullptr) {
                return static_cast<int>(mrCancel);
            }
            form->TextToSearch.SetText(c.Text);
            if (c.Result == mrOk) {
                PostKey(form->TextToSearch.Handle(), VK_RETURN); // Enter in the field searches
                return kRunModalLoop;
            }
            return c.Result;
        });
        Page().SearchAppAction.Execute();
        Pump(20);
        EXPECT_EQ(seen.ClassName, "TSearchForm");
        EXPECT_EQ(seen.Caption, "Search");
        EXPECT_TRUE(HasText(seen, "Enter part of an application name to search:"));
        EXPECT_EQ(List().Selected(), c.Selected);
    }
}

TEST_F(UninstallerPageTest, ViewSettingsAreReadOnFirstShowAndWrittenOnClose) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    struct TCase {
        const char* Stored;
        TViewStyle Style;
        int Column1;
    };
    const TCase cases[] = {
        {"", TViewStyle::vsIcon, 100},
        {"[Clearvane]\r\nViewStyle=1\r\nColumn1=150\r\n", TViewStyle::vsSmallIcon, 150},
        {"[Clearvane]\r\nViewStyle=3\r\nColumn0=80\r\nColumn1=220\r\nColumn2=90\r\n", TViewStyle::vsReport,
         220},
        {"[Clearvane]\r\nViewStyle=9\r\n", TViewStyle::vsIcon, 100},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Stored);
        Win32.Files.WriteFile(SettingsPath(Platform), c.Stored);
        Open();
        EXPECT_EQ(List().ViewStyle(), c.Style);
        EXPECT_EQ(List().ColumnWidth(1), c.Column1);
        const auto style = static_cast<std::size_t>(c.Style);
        EXPECT_TRUE(Page().View1[style].Checked());
        EXPECT_TRUE(Page().UninstListView.ViewItem[style].Checked());
        CloseMain();
    }
    // The user's choice is what the next run finds.
    Win32.Files.WriteFile(SettingsPath(Platform), "");
    Open();
    Page().View1[2].Click();
    EXPECT_EQ(List().ViewStyle(), TViewStyle::vsList);
    EXPECT_TRUE(Page().UninstListView.ViewItem[2].Checked());
    List().SetColumnWidth(2, 77);
    CloseMain();
    std::string stored;
    Win32.Files.ReadFile(SettingsPath(Platform), &stored);
    EXPECT_NE(stored.find("ViewStyle=2\r\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Column2=77\r\n"), std::string::npos) << stored;
}

TEST_F(UninstallerPageTest, MenusCarryTheActionsInTheirPlaces) {
    Open();
    TUninstallerForm& page = Page();
    auto captions = [](TMenuItem& menu) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < menu.Count(); ++i) {
            out.push_back(menu[i].Visible() ? menu[i].Caption() : "(hidden)");
        }
        return out;
    };
    using V = std::vector<std::string>;
    TMenuItem& bar = page.MainMenu1.Items();
    EXPECT_EQ(captions(bar), (V{"&File", "&Action", "&View", "&Help"}));
    EXPECT_EQ(captions(bar[0]), (V{"Backup Uninstall Info", "Restore Uninstall Info",
                                   "Restore Deleted Entries...", "-", "Exit"}));
    EXPECT_EQ(captions(bar[1]), (V{"Uninstall", "Clear It!", "Autofix", "Search"}));
    EXPECT_EQ(captions(bar[2]), (V{"Large Icons", "(hidden)", "List", "Report", "-", "App Info", "Refresh"}));
    EXPECT_EQ(captions(bar[3]), (V{"Help", "-", "About", "-", "Recommend to friends"}));
    EXPECT_EQ(captions(page.UninstListView.ContextMenu.Items()),
              (V{"Uninstall", "Clear It!", "Autofix", "App Info", "Refresh", "-", "View"}));
    EXPECT_EQ(page.UninstallAction.Hint(), "Uninstal the selected application");
    EXPECT_EQ(page.DeleteEntryAction.Hint(), "Delete an registry entry");
    EXPECT_EQ(ShortCutToText(page.UninstallAction.ShortCut()), "Del");
    EXPECT_EQ(ShortCutToText(page.DeleteEntryAction.ShortCut()), "Ctrl+Del");
    EXPECT_EQ(ShortCutToText(page.SearchAppAction.ShortCut()), "Ctrl+F");
    EXPECT_EQ(ShortCutToText(page.RefreshAction.ShortCut()), "F5");
    std::vector<std::string> tools;
    for (const TAlphaButton* button : page.ToolButtons) {
        tools.push_back(button->Caption());
    }
    EXPECT_EQ(tools, (V{"Autofix", "App Info", "Search", "Refresh", "Help", "Home", "Exit"}));
    EXPECT_EQ(Main->Menu(), &page.MainMenu1);
}

TEST_F(UninstallerPageTest, ClosingDuringACycleStopsTheWorkerAndStillKeepsTheRecord) {
    for (const char* name : {"Alpha Demo", "Beta Demo", "Gamma Gone"}) {
        MakeApp(kHKeyCurrentUser, name,
                std::string(name).find("Gone") != std::string::npos ? Gone() : Intact());
    }
    Open(/*waitForCycle=*/false);
    ASSERT_FALSE(Page().CanRebuild());
    const ULONGLONG start = GetTickCount64();
    CloseMain();
    EXPECT_LT(GetTickCount64() - start, 2500u) << "the close waits 2000 milliseconds at most";
    EXPECT_EQ(Record(), "Alpha Demo\r\nBeta Demo\r\nGamma Gone\r\n");
}

TEST_F(UninstallerPageTest, AnEmptyInventoryEndsTheCycleWithNothingSelected) {
    Open();
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(List().Selected(), -1);
    EXPECT_EQ(StatusText(), "Total 0 applications,0 bad entries");
    EXPECT_TRUE(Page().CanRebuild());
    CloseMain();
    EXPECT_EQ(Record(), "");
}

} // namespace cv::test
