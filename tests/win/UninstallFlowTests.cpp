// Uninstall, Clear It! and Autofix on the uninstaller page, with real
// uninstaller processes (the tests' helper) on the prefix's registry.
#include "UninstallFlowFixture.h"

#include "uninstaller/BadEntriesForm.h"
#include "uninstaller/UninstallerText.h"

#include <gtest/gtest.h>

#include <deque>

namespace cv::test {

namespace {

std::vector<std::string> BadEntriesListed(const TModalInfo& info) {
    std::vector<std::string> names;
    if (auto* form = dynamic_cast<TBadEntriesForm*>(TWindow::FromHandle(info.Handle)); form != nullptr) {
        for (int i = 0; i < form->ListView.Count(); ++i) {
            names.push_back(form->ListView.ItemText(i));
        }
    }
    return names;
}

} // namespace

TEST_F(UninstallFlowTest, AnUninstallerThatRemovesItsKeyTakesItsItemAwayWithoutAQuestion) {
    const std::string key = std::string(kUninstallKey) + "\\Beta Demo";
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    MakeApp(kHKeyCurrentUser, "Beta Demo", Helper("sleep 200 delkey HKCU \"" + key + "\""));
    MakeApp(kHKeyCurrentUser, "Gamma Demo", Intact());
    // The cycle has not run yet: while the dialogs are open it selects the
    // first item, and still the entry uninstalled is the one that goes.
    Open(/*waitForCycle=*/false);
    SelectAndFocus("Beta Demo", /*pump=*/false);
    Script({{"TConfirmForm", mrYes,
             [](TModalInfo& info) { EXPECT_TRUE(HasText(info, "Uninstall \"Beta Demo\"?")); }},
            {"TWaitDialogForm", mrOk, [&](TModalInfo& info) {
                 EXPECT_TRUE(HasText(info, "Instruction"));
                 EXPECT_TRUE(HasText(info, "Close this dialog when uninstalling process is finished."));
                 EXPECT_TRUE(Until([&] { return !KeyThere(kHKeyCurrentUser, "Beta Demo"); }));
                 EXPECT_TRUE(Until([&] { return Page().CanRebuild(); })) << "the cycle ran meanwhile";
             }}});
    Page().UninstallAction.Execute();
    EXPECT_TRUE(Answers.empty());
    EXPECT_TRUE(Unexpected.empty()) << "no question once the key is gone";
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha Demo", "Gamma Demo"}));
    EXPECT_EQ(List().Selected(), 1) << "the item that took its place";
    EXPECT_EQ(StatusText(), "Total 2 applications,0 bad entries");
    EXPECT_EQ(Page().TitleLabel.Caption(), "Gamma Demo");
}

TEST_F(UninstallFlowTest, AKeyLeftBehindIsDeletedOnYesAndKeptOnNoOrEsc) {
    struct TCase {
        int Answer;
        bool Deleted;
    };
    for (const TCase c : {TCase{mrYes, true}, TCase{mrCancel, false}, TCase{mrNo, false}}) {
        SCOPED_TRACE(c.Answer);
        const std::string marker = Marker("left-" + std::to_string(c.Answer));
        MakeApp(kHKeyLocalMachine, "Alpha Demo", Intact());
        MakeApp(kHKeyLocalMachine, "Leaves Its Key", Helper("touch \"" + marker + "\" exit 3"));
        Open();
        SelectAndFocus("Leaves Its Key");
        Script({{"TConfirmForm", mrYes, {}},
                {"TWaitDialogForm", mrOk,
                 [&](TModalInfo&) { EXPECT_TRUE(Until([&] { return Win32.Files.FileExists(marker); })); }},
                {"TWarnDialogForm", c.Answer, [](TModalInfo& info) {
                     EXPECT_TRUE(HasText(info,
                                         "Something is wrong with uninstalling process or you have canceled "
                                         "your uninstalling,some registry items was not deleted,would you "
                                         "like to delete them?"));
                 }}});
        Page().UninstallAction.Execute();
        EXPECT_TRUE(Answers.empty());
        EXPECT_EQ(KeyThere(kHKeyLocalMachine, "Leaves Its Key"), !c.Deleted);
        EXPECT_EQ(List().Count(), c.Deleted ? 1 : 2);
        if (!c.Deleted) {
            EXPECT_EQ(List().ItemText(List().Selected()), "Leaves Its Key")
                << "listed and selected as before";
        }
        ExpectInStep();
        CloseMain();
        Win32.Files.RemoveFile(marker);
    }
}

TEST_F(UninstallFlowTest, AnUninstallerThatCannotStartIsReportedAndNothingIsAskedAfter) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    // Installed (its folder is there), so it can be uninstalled, but its uninstaller is gone.
    for (const char* name : {"Beta Gone", "Clearvane Gone"}) {
        MakeEntry(kHKeyCurrentUser, name,
                  {{"DisplayName", name}, {"UninstallString", Gone()}, {"InstallLocation", Scratch}});
    }
    Open();
    const std::string reason = Win32.Processes.ErrorText(kStartFileNotFound);
    for (const char* name : {"Beta Gone", "Clearvane Gone"}) {
        SCOPED_TRACE(name);
        SelectAndFocus(name);
        Unexpected.clear();
        Script({{std::string(name) == "Beta Gone" ? "TConfirmForm" : "TWarnDialogForm", mrYes, {}},
                {"TWaitDialogForm", mrOk, [&](TModalInfo& info) {
                     EXPECT_TRUE(HasText(info, "Error"));
                     EXPECT_TRUE(HasText(info, NotStartedText(Gone(), reason)));
                 }}});
        Page().UninstallAction.Execute();
        EXPECT_TRUE(Answers.empty());
        EXPECT_TRUE(Unexpected.empty()) << "no instruction and no question about the entry";
        EXPECT_FALSE(Page().Ending()) << "the program goes on when its own uninstaller did not start";
        EXPECT_TRUE(KeyThere(kHKeyCurrentUser, name));
        EXPECT_EQ(List().Count(), 3);
    }
}

TEST_F(UninstallFlowTest, NothingStartsWithoutAYesOrWhereTheActionDoesNotApply) {
    const std::string marker = Marker("started");
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Helper("touch \"" + marker + "\""));
    MakeApp(kHKeyCurrentUser, "Beta Gone", Gone());
    Open();
    struct TCase {
        const char* Name;
        std::function<void()> Act;
        std::vector<std::string> Dialogs; // the forms that came up
    };
    const TCase cases[] = {
        {"No to the confirmation",
         [&] {
             SelectAndFocus("Alpha Demo");
             Script({{"TConfirmForm", mrNo, {}}});
             Page().UninstallAction.Execute();
         },
         {"TConfirmForm"}},
        {"Del with the focus outside the list",
         [&] {
             SelectAndFocus("Alpha Demo");
             Main->PageControl1.SetFocus();
             Script({});
             PostKey(FocusOr(Main->Handle()), VK_DELETE);
             Pump(100);
         },
         {}},
        {"Del in the list asks",
         [&] {
             SelectAndFocus("Alpha Demo");
             Script({{"TConfirmForm", mrNo, {}}});
             PostKey(List().Handle(), VK_DELETE);
             Pump(100);
         },
         {"TConfirmForm"}},
        {"a double click on a bad entry",
         [&] {
             SelectAndFocus("Beta Gone");
             Script({});
             List().OnDblClick();
         },
         {}},
        {"a double click on an application asks",
         [&] {
             SelectAndFocus("Alpha Demo");
             Script({{"TConfirmForm", mrNo, {}}});
             List().OnDblClick();
         },
         {"TConfirmForm"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Dialogs.clear();
        Unexpected.clear();
        c.Act();
        std::vector<std::string> seen;
        for (const TModalInfo& info : Dialogs) {
            seen.push_back(info.ClassName);
        }
        EXPECT_EQ(seen, c.Dialogs);
        EXPECT_EQ(List().Count(), 2);
    }
    Pump(500);
    EXPECT_FALSE(Win32.Files.FileExists(marker)) << "no uninstaller was started";
}

TEST_F(UninstallFlowTest, ClearItDeletesTheEntryAndSelectsTheNextOrNothingAfterTheLast) {
    for (const char* name : {"Alpha Demo", "Beta Gone", "Gamma Gone", "Delta Demo"}) {
        MakeApp(kHKeyCurrentUser, name,
                std::string(name).find("Gone") != std::string::npos ? Gone() : Intact());
    }
    Open();
    ASSERT_EQ(StatusText(), "Total 4 applications,2 bad entries");
    // A bad entry in the middle: both totals go down, the next item is selected.
    SelectAndFocus("Beta Gone");
    Script({{"TConfirmForm", mrYes, [](TModalInfo& info) {
                 // Every line shows: the user sees which entry goes.
                 EXPECT_TRUE(HasText(info, "Are you sure you want to delete the following entry:\r\n-\"Beta "
                                           "Gone\"\r\n from registry?"));
             }}});
    Page().DeleteEntryAction.Execute();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha Demo", "Delta Demo", "Gamma Gone"}));
    EXPECT_FALSE(KeyThere(kHKeyCurrentUser, "Beta Gone"));
    EXPECT_EQ(List().ItemText(List().Selected()), "Delta Demo");
    EXPECT_EQ(StatusText(), "Total 3 applications,1 bad entries");
    ExpectInStep();
    // Autofix no longer lists it.
    std::vector<std::string> listed;
    Script({{"TBadEntriesForm", mrNo, [&](TModalInfo& info) { listed = BadEntriesListed(info); }}});
    Page().FindBadEntryAction.Execute();
    EXPECT_EQ(listed, (std::vector<std::string>{"Gamma Gone"}));
    // The last item: nothing is selected afterwards.
    SelectAndFocus("Gamma Gone");
    Script({{"TConfirmForm", mrYes, {}}});
    Page().DeleteEntryAction.Execute();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha Demo", "Delta Demo"}));
    EXPECT_EQ(List().Selected(), -1);
    EXPECT_FALSE(Page().DeleteEntryAction.Enabled());
    // The panel no longer describes the entry that went.
    EXPECT_EQ(Page().TitleLabel.Caption(), "");
    EXPECT_EQ(Page().InfoLabel.Caption(), "");
    EXPECT_FALSE(Page().LblUnisntallInfo.Visible());
    ExpectInStep();
    // No keeps it.
    SelectAndFocus("Alpha Demo");
    Script({{"TConfirmForm", mrNo, {}}});
    Page().DeleteEntryAction.Execute();
    EXPECT_EQ(List().Count(), 2);
    EXPECT_TRUE(KeyThere(kHKeyCurrentUser, "Alpha Demo"));
}

TEST_F(UninstallFlowTest, AutofixListsTheBadEntriesAndDeletesExactlyThemOnYes) {
    const char* const names[] = {"Alpha Demo", "Beta Gone",    "Gamma Demo",
                                 "Delta Gone", "Epsilon Demo", "Zeta Gone"};
    for (const char* name : names) {
        MakeApp(kHKeyLocalMachine, name,
                std::string(name).find("Gone") != std::string::npos ? Gone() : Intact());
    }
    WriteRecord("Alpha Demo\r\nBeta Gone\r\nGamma Demo\r\nEpsilon Demo\r\nZeta Gone\r\n"); // Delta is new
    // Before the scan has run there is nothing to fix.
    Open(/*waitForCycle=*/false);
    Script({{"TWaitDialogForm", mrOk, [](TModalInfo& info) {
                 EXPECT_TRUE(HasText(info, "Info:"));
                 EXPECT_TRUE(HasText(info, "No bad entries!Everything looks fine!"));
             }}});
    Page().FindBadEntryAction.Execute();
    EXPECT_TRUE(Answers.empty());
    WaitForCycle();

    const std::vector<std::string> bad{"Beta Gone", "Delta Gone", "Zeta Gone"};
    struct TCase {
        const char* Name;
        std::function<int(TModalInfo&)> Answer;
        bool Deletes;
    };
    const TCase cases[] = {
        {"No", [](TModalInfo&) { return static_cast<int>(mrNo); }, false},
        {"the close box",
         [](TModalInfo& info) {
             PostMessageW(info.Handle, WM_CLOSE, 0, 0);
             return kRunModalLoop;
         },
         false},
        {"Esc",
         [](TModalInfo& info) {
             PostKey(FocusOr(info.Handle), VK_ESCAPE);
             return kRunModalLoop;
         },
         false},
        {"Yes", [](TModalInfo&) { return static_cast<int>(mrYes); }, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> listed;
        TModalInfo seen;
        TApplication::Instance().SetModalResponder([&](TModalInfo& info) {
            seen = info;
            listed = BadEntriesListed(info);
            return c.Answer(info);
        });
        Page().FindBadEntryAction.Execute();
        EXPECT_EQ(seen.ClassName, "TBadEntriesForm");
        EXPECT_EQ(seen.Caption, "Bad entries found");
        EXPECT_EQ(listed, bad) << "each bad entry once, in the inventory's order";
        if (c.Deletes) {
            EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha Demo", "Epsilon Demo", "Gamma Demo"}));
            EXPECT_EQ(StatusText(), "Total 3 applications,0 bad entries");
            for (const std::string& name : bad) {
                EXPECT_FALSE(KeyThere(kHKeyLocalMachine, name)) << name;
            }
        } else {
            EXPECT_EQ(List().Count(), 6);
            EXPECT_EQ(StatusText(), "Total 6 applications,3 bad entries");
        }
        ExpectInStep();
    }
}

TEST_F(UninstallFlowTest, OnlyEntriesWhoseFilesAreKnownToBeGoneAreBad) {
    std::string absent; // a drive letter this machine does not have
    for (wchar_t letter = L'Y'; letter > L'D' && absent.empty(); --letter) {
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if (GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) {
            absent = std::string(1, static_cast<char>(letter)) + ":";
        }
    }
    ASSERT_FALSE(absent.empty());
    const std::string folder = "cv-kept-" + std::to_string(GetCurrentProcessId());
    const std::string kept = Win32.Shell.ExpandEnvironment("%ProgramFiles%\\" + folder);
    ASSERT_TRUE(Win32.Files.MakeDirectory(kept));
    ASSERT_TRUE(Win32.Files.WriteFile(kept + "\\app.ico", "ICON"));
    const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> entries = {
        {"Absent Drive",
         {{"UninstallString", absent + "\\App\\uninst.exe /S"}, {"InstallLocation", absent + "\\App"}}},
        {"Dead Host", {{"UninstallString", "\\\\cv-no-such-host\\share\\app.exe"}}},
        {"Variable Kept",
         {{"UninstallString", Gone()}, {"DisplayIcon", "%ProgramFiles%\\" + folder + "\\app.ico,0"}}},
        {"Quoted Icon Kept", {{"UninstallString", Gone()}, {"DisplayIcon", "\"" + kept + "\\app.ico\",0"}}},
        {"Variable Gone", {{"UninstallString", "\"%ProgramFiles%\\cv-gone\\uninst.exe\""}}},
        {"Plain Gone", {{"UninstallString", Gone()}, {"InstallLocation", "C:\\cv-gone"}}},
    };
    for (const auto& [name, values] : entries) {
        auto texts = values;
        texts.emplace_back("DisplayName", name);
        MakeEntry(kHKeyCurrentUser, name, texts);
    }
    Open();
    std::vector<std::string> bad;
    for (int i = 0; i < List().Count(); ++i) {
        if (Entry(i)->Bad) {
            bad.push_back(List().ItemText(i));
        }
    }
    EXPECT_EQ(bad, (std::vector<std::string>{"Plain Gone", "Variable Gone"}));
    ExpectInStep();
    CloseMain();
    Win32.Files.RemoveFile(kept + "\\app.ico");
    Win32.Files.RemoveEmptyDirectory(kept);
}

TEST_F(UninstallFlowTest, AnEntryInstalledAgainOrWithItsFilesBackIsLeftAloneAndTheUserIsTold) {
    const std::string back = Scratch + "\\back";
    for (const char* name : {"Alpha Gone", "Beta Gone", "Gamma Gone", "Delta Gone"}) {
        MakeApp(kHKeyCurrentUser, name, Gone());
    }
    MakeApp(kHKeyCurrentUser, "Epsilon Back", "\"" + back + "\\uninst.exe\" /S");
    Open();
    ASSERT_EQ(StatusText(), "Total 5 applications,5 bad entries");
    // Meanwhile Beta and Delta are installed again into their keys, and
    // Epsilon's files come back.
    for (const char* name : {"Beta Gone", "Delta Gone"}) {
        MakeApp(kHKeyCurrentUser, name, Intact());
    }
    ASSERT_TRUE(Win32.Files.MakeDirectory(back));
    ASSERT_TRUE(Win32.Files.WriteFile(back + "\\uninst.exe", "MZ"));

    // Clear It! on one of them.
    SelectAndFocus("Delta Gone");
    Script({{"TConfirmForm", mrYes, {}}, {"TWaitDialogForm", mrOk, [](TModalInfo& info) {
                                              EXPECT_TRUE(HasText(info, LeftAloneText({"Delta Gone"}, {})));
                                          }}});
    Page().DeleteEntryAction.Execute();
    EXPECT_TRUE(Answers.empty());
    EXPECT_TRUE(KeyThere(kHKeyCurrentUser, "Delta Gone"));
    EXPECT_EQ(List().Count(), 5);

    // Autofix on all of them: only the two still gone go.
    Script({{"TBadEntriesForm", mrYes, {}},
            {"TWaitDialogForm", mrOk, [](TModalInfo& info) {
                 EXPECT_TRUE(HasText(info, LeftAloneText({"Beta Gone", "Delta Gone"}, {"Epsilon Back"})));
             }}});
    Page().FindBadEntryAction.Execute();
    EXPECT_TRUE(Answers.empty());
    EXPECT_TRUE(Unexpected.empty());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Beta Gone", "Delta Gone", "Epsilon Back"}));
    for (const char* name : {"Beta Gone", "Delta Gone", "Epsilon Back"}) {
        EXPECT_TRUE(KeyThere(kHKeyCurrentUser, name)) << name;
    }
    for (const char* name : {"Alpha Gone", "Gamma Gone"}) {
        EXPECT_FALSE(KeyThere(kHKeyCurrentUser, name)) << name;
    }
    ExpectInStep();
    CloseMain();
    Win32.Files.RemoveFile(back + "\\uninst.exe");
    Win32.Files.RemoveEmptyDirectory(back);
}

TEST_F(UninstallFlowTest, AnUninstallerStillRunningKeepsItsEntryWithoutAQuestion) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    MakeApp(kHKeyCurrentUser, "Slow Demo", Helper("sleep 4000"));
    Open();
    SelectAndFocus("Slow Demo");
    Script({{"TConfirmForm", mrYes, {}},
            {"TWaitDialogForm", mrOk, {}}, // closed at once
            {"TWaitDialogForm", mrOk,
             [](TModalInfo& info) { EXPECT_TRUE(HasText(info, StillRunningText("Slow Demo"))); }}});
    Page().UninstallAction.Execute();
    EXPECT_TRUE(Answers.empty());
    EXPECT_TRUE(Unexpected.empty()) << "no question about deleting the entry";
    EXPECT_TRUE(KeyThere(kHKeyCurrentUser, "Slow Demo"));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha Demo", "Slow Demo"}));
    ExpectInStep();
}

TEST_F(UninstallFlowTest, DeletingWhileTheIconsAreStillComingKeepsEverythingInStep) {
    const char* const names[] = {"Alpha Demo",   "Beta Gone", "Gamma Demo", "Delta Gone",
                                 "Epsilon Demo", "Eta Gone",  "Theta Demo", "Iota Gone"};
    for (const char* name : names) {
        MakeApp(kHKeyCurrentUser, name,
                std::string(name).find("Gone") != std::string::npos ? Gone() : Intact());
    }
    Open(/*waitForCycle=*/false);
    // The worker keeps the row the user chose; the selection moved while the
    // question is open (by the test here), the entry asked about still goes.
    SelectAndFocus("Gamma Demo", /*pump=*/false);
    Script({{"TConfirmForm", mrYes, [&](TModalInfo&) {
                 Pump(50);
                 EXPECT_EQ(List().ItemText(List().Selected(), 0), "Gamma Demo")
                     << "the worker moved the selection";
                 List().SetSelected(0);
             }}});
    Page().DeleteEntryAction.Execute();
    EXPECT_FALSE(KeyThere(kHKeyCurrentUser, "Gamma Demo"));
    EXPECT_TRUE(KeyThere(kHKeyCurrentUser, "Alpha Demo"));
    // More deletions while the icons keep coming.
    for (const char* name : {"Alpha Demo", "Iota Gone"}) {
        SelectAndFocus(name, /*pump=*/false);
        Script({{"TConfirmForm", mrYes, [](TModalInfo&) { Pump(5); }}});
        Page().DeleteEntryAction.Execute();
    }
    WaitForCycle();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Beta Gone", "Delta Gone", "Epsilon Demo", "Eta Gone",
                                                    "Theta Demo"}));
    ExpectInStep();
    EXPECT_EQ(StatusText(), "Total 5 applications,3 bad entries");
}

TEST_F(UninstallFlowTest, UninstallingClearvaneItselfEndsTheProgramWithoutKeepingTheRecord) {
    const std::string marker = Marker("self");
    MakeApp(kHKeyCurrentUser, "Clearvane 1.0", Helper("touch \"" + marker + "\""));
    MakeApp(kHKeyCurrentUser, "clearvane helper", Helper("touch \"" + marker + "\""));
    Open();
    // The word in another letter case is any application's name.
    SelectAndFocus("clearvane helper");
    Script({{"TConfirmForm", mrNo, {}}});
    Page().UninstallAction.Execute();
    EXPECT_TRUE(Answers.empty());
    // Not sure: nothing happens.
    SelectAndFocus("Clearvane 1.0");
    Script({{"TWarnDialogForm", mrNo, [](TModalInfo& info) {
                 EXPECT_TRUE(
                     HasText(info, "Your are about to uninstall \"Clearvane\" itself. So it must be closed. "
                                   "Are you sure?"));
             }}});
    Page().UninstallAction.Execute();
    EXPECT_TRUE(Answers.empty());
    Pump(300);
    EXPECT_FALSE(Win32.Files.FileExists(marker));
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    // Sure: the uninstaller starts and the program ends at once.
    Script({{"TWarnDialogForm", mrYes, {}}});
    Page().UninstallAction.Execute();
    EXPECT_TRUE(Page().Ending());
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the message loop is told to end";
    Main.reset(); // what the end of the program does
    TForm::MainForm = nullptr;
    EXPECT_TRUE(Until([&] { return Win32.Files.FileExists(marker); })) << "the uninstaller was started";
    EXPECT_FALSE(Win32.Files.FileExists(Scratch + "\\" + kNamesFile)) << "no record of this run";
    Win32.Files.RemoveFile(marker);
}

} // namespace cv::test
