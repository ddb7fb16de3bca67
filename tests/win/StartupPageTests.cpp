// The startup page in the main window on the prefix's real Run keys and
// Startup folders. Every entry a test makes carries the test's tag, and the
// tests look only at their own rows, so entries the prefix has of its own
// do no harm; what a test makes it takes away.
#include "UiHarness.h"
#include "UninstallerPageFixture.h"
#include "app/ListLayoutStore.h"
#include "app/Settings.h"
#include "forms/MainForm.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Registry.h"
#include "platform/win32/Win32Platform.h"
#include "startup/NewStartupForm.h"
#include "startup/StartupForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace cv::test {

namespace {

struct TStore {
    TRunFrom RunFrom;
    bool Parked;
};

const TStore kEveryStore[] = {
    {TRunFrom::rfAllUsersKey, false},       {TRunFrom::rfAllUsersKey, true},
    {TRunFrom::rfCurrentUserKey, false},    {TRunFrom::rfCurrentUserKey, true},
    {TRunFrom::rfCurrentUserFolder, false}, {TRunFrom::rfCurrentUserFolder, true},
    {TRunFrom::rfAllUsersFolder, false},    {TRunFrom::rfAllUsersFolder, true},
};

bool IsKey(TRunFrom store) {
    return store == TRunFrom::rfAllUsersKey || store == TRunFrom::rfCurrentUserKey;
}

HKey RootOf(TRunFrom store) {
    return store == TRunFrom::rfCurrentUserKey ? kHKeyCurrentUser : kHKeyLocalMachine;
}

class StartupPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        Tag = "cvstart" + std::to_string(GetCurrentProcessId()) + " ";
        for (TRunFrom store : {TRunFrom::rfCurrentUserFolder, TRunFrom::rfAllUsersFolder}) {
            const std::string folder = StartupFolderOf(Platform, store);
            ASSERT_FALSE(folder.empty());
            Win32.Files.MakeDirectory(folder);
        }
        Program = TestFolder() + "\\cv_testhelper.exe";
        ForgetLayout();
        Win32.Files.RemoveFile(SettingsPath(Platform));
    }

    void TearDown() override {
        CloseMain();
        for (const TStore& store : kEveryStore) {
            if (IsKey(store.RunFrom)) {
                TRegistry reg(Win32.Registry);
                reg.SetRootKey(RootOf(store.RunFrom));
                if (reg.OpenKey(store.Parked ? kRunHiddenKey : kRunKey, false)) {
                    for (const std::string& name : reg.GetValueNames()) {
                        if (name.rfind(Tag, 0) == 0) {
                            reg.DeleteValue(name);
                        }
                    }
                }
                continue;
            }
            const std::string folder = FolderOf(store);
            for (const TFoundFile& file : Win32.Files.FindFiles(folder, "*")) {
                if (file.Name.rfind(Tag, 0) == 0) {
                    const std::string path = folder + "\\" + file.Name;
                    Win32.Files.RemoveFile(path);
                    Win32.Files.RemoveEmptyDirectory(path);
                }
            }
            if (store.Parked) {
                Win32.Files.RemoveEmptyDirectory(folder);
            }
        }
        for (const HKey root : {kHKeyCurrentUser, kHKeyLocalMachine}) {
            for (const char* sub : {"Run", "Run32", "StartupFolder"}) {
                TRegistry reg(Win32.Registry);
                reg.SetRootKey(root);
                if (reg.OpenKey(std::string(kStartupApprovedKey) + "\\" + sub, false)) {
                    for (const std::string& name : reg.GetValueNames()) {
                        if (name.rfind(Tag, 0) == 0) {
                            reg.DeleteValue(name);
                        }
                    }
                }
            }
        }
        ForgetLayout();
        Win32.Files.RemoveFile(SettingsPath(Platform));
    }

    // Windows' own record of an entry of ours (as its Task Manager writes
    // it), or the record there is: "" for none.
    void PutRecord(HKey root, const char* sub, const std::string& name, std::uint8_t first) {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(root);
        ASSERT_TRUE(reg.OpenKey(std::string(kStartupApprovedKey) + "\\" + sub, true));
        std::vector<std::uint8_t> data(12, 0);
        data[0] = first;
        data[10] = 0xDA; // a time in 2024
        data[11] = 0x01;
        reg.WriteRaw(Tag + name, {kRegBinary, data});
    }
    std::string RecordOf(HKey root, const char* sub, const std::string& name) {
        TRegistry reg(Win32.Registry, kKeyRead);
        reg.SetRootKey(root);
        TRegRawValue value;
        if (!reg.OpenKey(std::string(kStartupApprovedKey) + "\\" + sub, false) ||
            !reg.ReadRaw(Tag + name, &value)) {
            return "";
        }
        std::string text = std::to_string(value.Type) + ":";
        for (const std::uint8_t b : value.Data) {
            text += std::to_string(b) + " ";
        }
        return text;
    }

    void ForgetLayout() {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.DeleteKey(kStartupLayoutKey);
    }

    std::string FolderOf(const TStore& store) const {
        const std::string startup = StartupFolderOf(Platform, store.RunFrom);
        return store.Parked ? DisabledFolderOf(startup) : startup;
    }

    // An entry made behind the page's back; a folder entry is a shortcut to the helper.
    void Put(const TStore& store, const std::string& name, const std::string& command = {}) {
        if (IsKey(store.RunFrom)) {
            TRegistry reg(Win32.Registry);
            reg.SetRootKey(RootOf(store.RunFrom));
            ASSERT_TRUE(reg.OpenKey(store.Parked ? kRunHiddenKey : kRunKey, true));
            reg.WriteString(Tag + name, command.empty() ? "\"" + Program + "\" exit 0" : command);
            return;
        }
        Win32.Files.MakeDirectory(FolderOf(store));
        ASSERT_TRUE(Win32.Shell.CreateShortcut(FolderOf(store) + "\\" + Tag + name + ".lnk", Program, "",
                                               ExtractFilePath(Program)));
    }

    // Where an entry of ours stands: "R", "H" for the Run keys (either root),
    // "S", "D" for the folders (either), in that order.
    std::string Where(const std::string& name) {
        std::string where;
        for (const TStore& store : kEveryStore) {
            bool there = false;
            if (IsKey(store.RunFrom)) {
                TRegistry reg(Win32.Registry);
                reg.SetRootKey(RootOf(store.RunFrom));
                there = reg.OpenKeyReadOnly(store.Parked ? kRunHiddenKey : kRunKey) &&
                        reg.ValueExists(Tag + name);
            } else {
                there = Win32.Files.FileExists(FolderOf(store) + "\\" + Tag + name + ".lnk");
            }
            if (there) {
                where += IsKey(store.RunFrom) ? (store.Parked ? "H" : "R") : (store.Parked ? "D" : "S");
            }
        }
        return where;
    }

    void Open() {
        CloseMain();
        TApplication::Instance().SetModalResponder([this](TModalInfo& info) {
            Dialogs.push_back(info);
            if (OnDialog) {
                return OnDialog(info);
            }
            return static_cast<int>(mrYes);
        });
        Main = std::make_unique<TMainForm>(
            Platform, [](TMainForm& main) { return MakeEmptyPage(main, "UninstallerForm"); },
            [this](TMainForm& main) -> std::unique_ptr<TBaseSubForm> {
                return std::make_unique<TStartupForm>(main, Platform, Info);
            });
        TForm::MainForm = Main.get();
        Main->Show();
        ClickTab(Main->PageControl1.Handle(), 1);
        Pump(20);
    }

    void CloseMain() { CloseMainWindow(Main); }

    TStartupForm& Page() const { return dynamic_cast<TStartupForm&>(*Main->StartupForm); }
    TListView& List() const { return Page().StartupFrame.ListView; }
    int Row(const std::string& name) const {
        for (int i = 0; i < List().Count(); ++i) {
            if (List().ItemText(i) == Tag + name) {
                return i;
            }
        }
        return -1;
    }
    // Our rows as "name|source|x" (x ticked) or "name|source| ", sorted.
    std::vector<std::string> OurRows() const {
        std::vector<std::string> rows;
        for (int i = 0; i < List().Count(); ++i) {
            const std::string caption = List().ItemText(i);
            if (caption.rfind(Tag, 0) == 0) {
                EXPECT_EQ(List().ItemChecked(i), List().ItemCut(i)) << caption;
                rows.push_back(caption.substr(Tag.size()) + "|" + List().ItemText(i, 2) + "|" +
                               (List().ItemChecked(i) ? "x" : " "));
            }
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void Select(const std::string& name) {
        const int row = Row(name);
        ASSERT_GE(row, 0) << name;
        List().SetSelected(row);
    }
    // Ticks or clears a row's box as a click on it would.
    void Mark(const std::string& name, bool ticked) {
        const int row = Row(name);
        ASSERT_GE(row, 0) << name;
        List().SetItemChecked(row, ticked);
    }
    std::string Total() const { return Main->StatusBar.PanelText(1); }
    std::string ExpectedTotal() const {
        return "Total " + std::to_string(Page().StartupManager()->Items.size()) +
               " applications run at startup";
    }
    int DialogsOf(const std::string& className) const {
        return static_cast<int>(std::count_if(Dialogs.begin(), Dialogs.end(),
                                              [&](const TModalInfo& d) { return d.ClassName == className; }));
    }

    TWin32Platform Win32;
    const TPlatform& Platform = Win32.Platform;
    const TFileInfoManager Info{Win32.Platform};
    std::unique_ptr<TMainForm> Main;
    std::vector<TModalInfo> Dialogs;
    std::function<int(TModalInfo&)> OnDialog;
    std::string Tag;
    std::string Program;
};

TEST_F(StartupPageTest, EveryStoreIsListedOnceWithItsSourceAndMark) {
    const char* const names[] = {"Machine", "Machine off", "User", "User off",
                                 "Mine",    "Mine off",    "All",  "All off"};
    for (std::size_t i = 0; i < std::size(kEveryStore); ++i) {
        Put(kEveryStore[i], names[i]);
    }
    Open();
    EXPECT_EQ(OurRows(), (std::vector<std::string>{
                             "All off|All Users Startup Folder|x", "All|All Users Startup Folder| ",
                             "Machine off|All Users Key|x", "Machine|All Users Key| ",
                             "Mine off|Current User Startup Folder|x", "Mine|Current User Startup Folder| ",
                             "User off|Current User Key|x", "User|Current User Key| "}));
    EXPECT_EQ(Total(), ExpectedTotal());
    EXPECT_EQ(List().Count(), static_cast<int>(Page().StartupManager()->Items.size()));
    // A fill selects nothing, and nothing that needs a row is offered.
    EXPECT_EQ(List().Selected(), -1);
    for (TAction* action : {&Page().HideAction, &Page().ShowAction, &Page().DeleteAction,
                            &Page().ShowPropertiesAction, &Page().ApplyAction}) {
        EXPECT_FALSE(action->Enabled()) << action->Name;
    }
    EXPECT_EQ(Main->Menu(), &Page().MainMenu1);
    // The marks the fill set are no changes of the user's.
    EXPECT_FALSE(Page().Modified());

    // The menu bar and the list's menu, by their captions ("-" a separator; hidden items left out).
    const auto captions = [](TMenuItem& menu) {
        std::string text;
        for (std::size_t i = 0; i < menu.Count(); ++i) {
            if (menu[i].Visible()) {
                text += (text.empty() ? "" : ",") + menu[i].Caption();
            }
        }
        return text;
    };
    EXPECT_EQ(captions(Page().MainMenu1.Items()), "&File,&Action,&View,&Help");
    EXPECT_EQ(captions(Page().MainMenu1.Items()[1]), "&Hide,&Show,Delete,-,Apply");
    EXPECT_EQ(captions(Page().MainMenu1.Items()[2]), "Refresh,Properties");
    EXPECT_EQ(captions(Page().StartupFrame.ContextMenu.Items()), "New,&Hide,&Show,Delete,-,Properties");

    // Each row offers what fits it.
    Select("Machine");
    EXPECT_TRUE(Page().HideAction.Enabled());
    EXPECT_FALSE(Page().ShowAction.Enabled());
    EXPECT_TRUE(Page().ShowPropertiesAction.Enabled());
    Select("All off");
    EXPECT_FALSE(Page().HideAction.Enabled());
    EXPECT_TRUE(Page().ShowAction.Enabled());
    EXPECT_TRUE(Page().DeleteAction.Enabled());
    // Selecting, and leaving the tab and coming back, are no changes to apply.
    ClickTab(Main->PageControl1.Handle(), 0);
    ClickTab(Main->PageControl1.Handle(), 1);
    Pump(20);
    EXPECT_FALSE(Page().Modified());
    EXPECT_TRUE(List().Focused()) << "the page's keys work at once after a change of tabs";
}

// An entry Windows switched off where it stands does not run: the page shows
// it off and says so, and switching it on switches it on in Windows too.
TEST_F(StartupPageTest, AnEntrySwitchedOffInWindowsIsShownOffAndSwitchedOnForReal) {
    Put({TRunFrom::rfCurrentUserKey, false}, "Key");
    Put({TRunFrom::rfCurrentUserKey, false}, "Gone");
    Put({TRunFrom::rfAllUsersFolder, false}, "Link");
    PutRecord(kHKeyCurrentUser, "Run", "Key", 3);
    PutRecord(kHKeyCurrentUser, "Run", "Gone", 7);
    PutRecord(kHKeyLocalMachine, "StartupFolder", "Link.lnk", 3);
    Open();
    EXPECT_EQ(OurRows(), (std::vector<std::string>{"Gone|Current User Key (off in Windows)|x",
                                                   "Key|Current User Key (off in Windows)|x",
                                                   "Link|All Users Startup Folder (off in Windows)|x"}));
    // The foot tells when; Show is offered as for any switched-off entry.
    Select("Key");
    EXPECT_NE(Page().Label1.Caption().find("\"" + Tag + "Key\" was switched off in Windows on "),
              std::string::npos)
        << Page().Label1.Caption();
    EXPECT_TRUE(Page().ShowAction.Enabled());
    Page().ShowAction.Execute();
    EXPECT_EQ(Where("Key"), "R");
    EXPECT_EQ(RecordOf(kHKeyCurrentUser, "Run", "Key"), "3:2 0 0 0 0 0 0 0 0 0 0 0 ");
    EXPECT_EQ(OurRows()[1], "Key|Current User Key| ");
    EXPECT_EQ(Page().Label1.Caption().rfind("Hint: ", 0), 0u);

    // Apply with the box cleared does the same, here in the machine's record.
    Mark("Link", false);
    Page().ApplyAction.Execute();
    EXPECT_EQ(Where("Link"), "S");
    EXPECT_EQ(RecordOf(kHKeyLocalMachine, "StartupFolder", "Link.lnk"), "3:2 0 0 0 0 0 0 0 0 0 0 0 ");
    EXPECT_EQ(Where("Gone"), "H") << "Apply with its box ticked parks it";
    EXPECT_EQ(RecordOf(kHKeyCurrentUser, "Run", "Gone"), "3:7 0 0 0 0 0 0 0 0 0 218 1 ");

    // Delete takes the value and the record; a new read lists each entry once.
    Select("Gone");
    Page().DeleteAction.Execute();
    EXPECT_EQ(Where("Gone"), "");
    EXPECT_EQ(RecordOf(kHKeyCurrentUser, "Run", "Gone"), "");
    Page().RefreshAction.Execute();
    EXPECT_EQ(OurRows(),
              (std::vector<std::string>{"Key|Current User Key| ", "Link|All Users Startup Folder| "}));
}

TEST_F(StartupPageTest, MarksAreWrittenByApplyEveryRowAtOnce) {
    Put({TRunFrom::rfCurrentUserKey, false}, "Key");
    Put({TRunFrom::rfCurrentUserFolder, false}, "Link");
    Put({TRunFrom::rfAllUsersKey, false}, "Other");
    Open();
    // Ticked, then cleared again: still a change to apply.
    Mark("Key", true);
    EXPECT_TRUE(Page().Modified());
    EXPECT_TRUE(Page().ApplyAction.Enabled());
    Mark("Key", false);
    EXPECT_TRUE(Page().ApplyAction.Enabled());
    EXPECT_FALSE(List().ItemCut(Row("Key")));

    Mark("Key", true);
    Mark("Link", true);
    EXPECT_EQ(Where("Key"), "R"); // nothing written before Apply
    // Every row is written, changed or not: one moved behind the page's back comes back.
    Put({TRunFrom::rfAllUsersKey, true}, "Other");
    {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        ASSERT_TRUE(reg.OpenKey(kRunKey, false));
        reg.DeleteValue(Tag + "Other");
    }
    Page().ApplyAction.Execute();
    EXPECT_EQ(Where("Key"), "H");
    EXPECT_EQ(Where("Link"), "D");
    EXPECT_EQ(Where("Other"), "R");
    EXPECT_FALSE(Page().ApplyAction.Enabled());

    // The moved shortcut is acted on where it now is, with no read in between.
    Select("Link");
    Page().ShowAction.Execute();
    EXPECT_EQ(Where("Link"), "S");
    Page().DeleteAction.Execute();
    EXPECT_EQ(Where("Link"), "");
}

TEST_F(StartupPageTest, HideAndShowMoveAtOnceAndTickTheRow) {
    Put({TRunFrom::rfAllUsersKey, false}, "Key");
    Put({TRunFrom::rfAllUsersFolder, false}, "Link");
    Open();
    for (const char* name : {"Key", "Link"}) {
        Select(name);
        Page().HideAction.Execute();
        const int row = Row(name);
        EXPECT_TRUE(List().ItemChecked(row)) << name;
        EXPECT_TRUE(List().ItemCut(row)) << name;
        EXPECT_FALSE(Page().HideAction.Enabled());
        EXPECT_TRUE(Page().ShowAction.Enabled());
    }
    EXPECT_EQ(Where("Key"), "H");
    EXPECT_EQ(Where("Link"), "D");
    EXPECT_TRUE(Page().ApplyAction.Enabled());
    Page().ApplyAction.Execute(); // the same state once more
    EXPECT_EQ(Where("Key"), "H");
    EXPECT_EQ(Where("Link"), "D");

    Select("Key");
    Page().ShowAction.Execute();
    EXPECT_FALSE(List().ItemChecked(Row("Key")));
    EXPECT_EQ(Where("Key"), "R");
}

TEST_F(StartupPageTest, LeavingTheTabAsksAboutMarksAndReadsAgain) {
    Put({TRunFrom::rfCurrentUserKey, false}, "Key");
    Open();
    const struct {
        int Answer;
        const char* After;
    } cases[] = {{mrYes, "H"}, {mrNo, "R"}};
    for (const auto& c : cases) {
        Dialogs.clear();
        OnDialog = [&](TModalInfo&) { return c.Answer; };
        // A Run entry made meanwhile shows once the list is read again.
        Put({TRunFrom::rfCurrentUserKey, false}, "Late");
        Mark("Key", true);
        ClickTab(Main->PageControl1.Handle(), 0);
        Pump(20);
        ASSERT_EQ(Dialogs.size(), 1u);
        EXPECT_EQ(Dialogs[0].ClassName, "TConfirmForm");
        EXPECT_NE(std::find(Dialogs[0].Texts.begin(), Dialogs[0].Texts.end(),
                            "You have not saved your changes, would you like to save it?"),
                  Dialogs[0].Texts.end());
        EXPECT_EQ(Where("Key"), c.After);
        EXPECT_GE(Row("Late"), 0);
        EXPECT_FALSE(Page().Modified());
        ClickTab(Main->PageControl1.Handle(), 1);
        Pump(20);
        // Back as the stores hold it.
        Select("Key");
        Page().ShowAction.Execute();
        Page().ApplyAction.Execute();
        ASSERT_EQ(Where("Key"), "R");
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(kRunKey, false));
        reg.DeleteValue(Tag + "Late");
    }
    // Without changes nothing is asked, and the list is still read again.
    Dialogs.clear();
    Put({TRunFrom::rfCurrentUserKey, false}, "Later");
    ClickTab(Main->PageControl1.Handle(), 0);
    Pump(20);
    EXPECT_TRUE(Dialogs.empty());
    EXPECT_GE(Row("Later"), 0);
}

TEST_F(StartupPageTest, ClosingTheProgramDropsMarksAndKeepsTheLayout) {
    Put({TRunFrom::rfCurrentUserKey, false}, "B", "\"" + Program + "\" exit 2");
    Put({TRunFrom::rfCurrentUserKey, false}, "A", "\"" + Program + "\" exit 1");
    Open();
    Mark("A", true);
    Dialogs.clear();
    // Command column, descending, and wider.
    Page().StartupFrame.ColumnClick(1);
    Page().StartupFrame.ColumnClick(1);
    List().SetColumnWidth(0, 211);
    CloseMain();
    EXPECT_TRUE(Dialogs.empty());
    EXPECT_EQ(Where("A"), "R");

    Open();
    EXPECT_EQ(List().ColumnWidth(0), 211);
    EXPECT_EQ(Page().StartupFrame.SortColumn(), 1);
    EXPECT_FALSE(Page().StartupFrame.SortAscending());
    EXPECT_LT(Row("B"), Row("A")) << "the rows are not in the kept order";
    EXPECT_FALSE(List().ItemChecked(Row("A")));
}

TEST_F(StartupPageTest, DeleteAsksRemovesTheRowAndKeepsTheTotalUntilTheNextRead) {
    Put({TRunFrom::rfCurrentUserKey, true}, "Key");
    Put({TRunFrom::rfCurrentUserFolder, false}, "Link");
    Open();
    const std::string before = Total();
    for (const char* name : {"Key", "Link"}) {
        Dialogs.clear();
        OnDialog = [](TModalInfo&) { return static_cast<int>(mrNo); };
        Select(name);
        Page().DeleteAction.Execute();
        EXPECT_GE(Row(name), 0) << "No deletes nothing";
        OnDialog = nullptr;
        Page().DeleteAction.Execute();
        ASSERT_EQ(Dialogs.size(), 2u);
        const std::vector<std::string>& texts = Dialogs[1].Texts;
        EXPECT_NE(std::find(texts.begin(), texts.end(),
                            "Are you sure to delete the following entry: " + Tag + name + "?"),
                  texts.end());
        EXPECT_EQ(Row(name), -1);
        EXPECT_EQ(Where(name), "");
        EXPECT_FALSE(Page().DeleteAction.Enabled());
    }
    EXPECT_EQ(Total(), before);
    Page().RefreshAction.Execute();
    EXPECT_EQ(Total(), ExpectedTotal());
}

// While a question is open the list may be read again, or the page close:
// the answer then changes nothing.
TEST_F(StartupPageTest, AnAnswerAfterTheListChangedUnderItWritesNothing) {
    Put({TRunFrom::rfCurrentUserKey, false}, "Key");
    Open();
    const struct {
        const char* What;
        std::function<void()> During;
    } cases[] = {
        {"read again", [this] { Page().RefreshAction.Execute(); }},
        {"page closed", [this] { Main->StartupForm->Close(); }},
    };
    for (const auto& c : cases) {
        Select("Key");
        OnDialog = [&](TModalInfo&) {
            c.During();
            return static_cast<int>(mrYes);
        };
        Page().DeleteAction.Execute();
        EXPECT_EQ(Where("Key"), "R") << c.What;
    }
    // The question on leaving the tab, with the page closed under it.
    Open();
    Mark("Key", true);
    OnDialog = [&](TModalInfo&) {
        Main->StartupForm->Close();
        return static_cast<int>(mrYes);
    };
    ClickTab(Main->PageControl1.Handle(), 0);
    Pump(20);
    EXPECT_EQ(Where("Key"), "R");
}

TEST_F(StartupPageTest, ADeleteThatFailsKeepsTheRowAndSaysSo) {
    // A folder in a Startup folder is an entry too, and no file to delete.
    const std::string folder = StartupFolderOf(Platform, TRunFrom::rfCurrentUserFolder) + "\\" + Tag + "Dir";
    ASSERT_TRUE(Win32.Files.MakeDirectory(folder));
    ASSERT_TRUE(Win32.Files.WriteFile(folder + "\\inside.txt", "x"));
    Open();
    Select("Dir");
    // The error goes on to the message loop's error box.
    try {
        Page().DeleteAction.Execute();
        ADD_FAILURE() << "a delete that failed said nothing";
    } catch (const EStartupError& error) {
        EXPECT_NE(std::string(error.what()).find("could not be deleted"), std::string::npos) << error.what();
    }
    EXPECT_GE(Row("Dir"), 0);
    EXPECT_TRUE(Win32.Files.FileExists(folder + "\\inside.txt"));
    Win32.Files.RemoveFile(folder + "\\inside.txt");
}

TEST_F(StartupPageTest, TwinsAreRefusedAndApplyGoesOnWithTheOtherRows) {
    Put({TRunFrom::rfCurrentUserKey, false}, "Twin", "first");
    Put({TRunFrom::rfCurrentUserKey, true}, "Twin", "second");
    Put({TRunFrom::rfCurrentUserKey, false}, "Plain");
    Open();
    std::vector<std::string> errors;
    auto keep = TApplication::Instance().ErrorBox;
    TApplication::Instance().ErrorBox = [&](const std::string& text) { errors.push_back(text); };
    // Clear the disabled twin's box (switch it on), tick the plain one.
    for (int i = 0; i < List().Count(); ++i) {
        if (List().ItemText(i) == Tag + "Twin" && List().ItemChecked(i)) {
            List().SetItemChecked(i, false);
        }
    }
    Mark("Plain", true);
    Page().ApplyAction.Execute();
    TApplication::Instance().ErrorBox = keep;
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Cannot switch on \"" + Tag + "Twin\""), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("\\Run\" already holds"), std::string::npos) << errors[0];
    EXPECT_EQ(Where("Plain"), "H");
    EXPECT_EQ(Where("Twin"), "RH");
    TRegistry reg(Win32.Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKeyReadOnly(kRunKey));
    EXPECT_EQ(reg.ReadString(Tag + "Twin"), "first");
    EXPECT_TRUE(Page().ApplyAction.Enabled());
}

TEST_F(StartupPageTest, AValueThatHoldsNoCommandIsNamedAndHidesNothing) {
    {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        ASSERT_TRUE(reg.OpenKey(kRunKey, true));
        reg.WriteInteger(Tag + "Number", 1);
    }
    Put({TRunFrom::rfCurrentUserKey, false}, "After");
    Put({TRunFrom::rfAllUsersFolder, true}, "Folder");
    Open();
    EXPECT_GE(Row("After"), 0);
    EXPECT_GE(Row("Folder"), 0);
    EXPECT_EQ(Row("Number"), -1);
    EXPECT_NE(Total().find("skipped \"HKLM\\...\\Run\\" + Tag + "Number\""), std::string::npos) << Total();
}

TEST_F(StartupPageTest, PropertiesOnlyForAProgramThatWasFound) {
    Put({TRunFrom::rfCurrentUserKey, false}, "Gone", "C:\\cv-gone\\nothing.exe /x");
    Put({TRunFrom::rfCurrentUserKey, false}, "Here");
    Open();
    Select("Gone");
    EXPECT_FALSE(Page().ShowPropertiesAction.Enabled());
    EXPECT_TRUE(Page().DeleteAction.Enabled());
    Select("Here");
    EXPECT_TRUE(Page().ShowPropertiesAction.Enabled());
}

TEST_F(StartupPageTest, AnExpandableCommandStaysExpandable) {
    const std::string command = "%ProgramFiles%\\Sidebar\\sidebar.exe /autoRun";
    {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(kRunKey, true));
        reg.WriteExpandString(Tag + "Sidebar", command);
    }
    Open();
    Select("Sidebar");
    Page().HideAction.Execute();
    Page().ShowAction.Execute();
    Mark("Sidebar", true);
    Page().ApplyAction.Execute();
    Mark("Sidebar", false);
    Page().ApplyAction.Execute();
    TRegistry reg(Win32.Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKeyReadOnly(kRunKey));
    TRegDataInfo info;
    ASSERT_TRUE(reg.GetDataInfo(Tag + "Sidebar", &info));
    EXPECT_EQ(info.Type, static_cast<std::uint32_t>(kRegExpandSz));
    EXPECT_EQ(reg.ReadString(Tag + "Sidebar"), command);
}

// Fills the new-entry dialog as a user would and presses OK; Cancel when OK
// did not end it.
int FillNewEntry(TModalInfo& info, const std::string& name, const std::string& command, int store) {
    auto* form = dynamic_cast<TNewStartupForm*>(TWindow::FromHandle(info.Handle));
    if (form == nullptr) {
        return mrOk; // a message of the dialog's
    }
    form->EditDisplayName.SetText(name);
    form->EditFileName.SetText(command);
    form->RunFrom.SetItemIndex(store);
    form->RunFrom.OnChange();
    form->OKButton.Click();
    return form->ModalResult() != mrNone ? form->ModalResult() : static_cast<int>(mrCancel);
}

TEST_F(StartupPageTest, NewCreatesTheEntryInEachStore) {
    Open();
    const struct {
        int Store;
        const char* Name;
        const char* Where;
        const char* Source;
    } stores[] = {
        {0, "All", "S", "All Users Startup Folder"},
        {1, "Mine", "S", "Current User Startup Folder"},
        {2, "Machine", "R", "All Users Key"},
        {3, "User", "R", "Current User Key"},
    };
    for (const auto& s : stores) {
        OnDialog = [&](TModalInfo& info) { return FillNewEntry(info, Tag + s.Name, Program, s.Store); };
        Page().NewAction.Execute();
        EXPECT_EQ(Where(s.Name), s.Where) << s.Name;
        const int row = Row(s.Name);
        ASSERT_GE(row, 0) << s.Name;
        EXPECT_EQ(List().ItemText(row, 2), s.Source);
        EXPECT_FALSE(List().ItemChecked(row));
    }
}

TEST_F(StartupPageTest, TheNewEntryDialogOffersOKOnlyForAnEntryThatCanBeSaved) {
    Put({TRunFrom::rfCurrentUserKey, true}, "Taken");
    Open();
    const struct {
        std::string Name;
        std::string Command;
        int Store;
        bool OK;      // OK offered
        bool Refused; // OK told why not
    } cases[] = {
        {"", Program, 3, false, false},        {Tag + "Fine", Program, -1, false, false},
        {Tag + "Fine", "", 3, false, false},   {Tag + "Taken", Program, 3, true, true},
        {Tag + "a/b", Program, 1, true, true}, {Tag + "Fine", Program, 1, true, false},
    };
    for (const auto& c : cases) {
        Dialogs.clear();
        bool offered = false;
        OnDialog = [&](TModalInfo& info) {
            auto* form = dynamic_cast<TNewStartupForm*>(TWindow::FromHandle(info.Handle));
            if (form == nullptr) {
                return static_cast<int>(mrOk);
            }
            EXPECT_FALSE(form->OKButton.Enabled()) << "nothing typed yet";
            form->EditDisplayName.SetText(c.Name);
            form->EditFileName.SetText(c.Command);
            form->RunFrom.SetItemIndex(c.Store);
            form->RunFrom.OnChange();
            offered = form->OKButton.Enabled();
            form->OKButton.Click();
            return form->ModalResult() != mrNone ? form->ModalResult() : static_cast<int>(mrCancel);
        };
        const int rows = List().Count();
        Page().NewAction.Execute();
        EXPECT_EQ(offered, c.OK) << c.Name << "|" << c.Store;
        EXPECT_EQ(DialogsOf("TWaitDialogForm"), c.Refused ? 1 : 0) << c.Name;
        if (!c.OK || c.Refused) {
            EXPECT_EQ(List().Count(), rows) << c.Name;
        }
    }
    EXPECT_EQ(Where("Taken"), "H");
    EXPECT_EQ(Where("Fine"), "S");
    EXPECT_EQ(Where("a/b"), "");
}

} // namespace

} // namespace cv::test
