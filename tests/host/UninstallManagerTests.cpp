#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace cv::test {

namespace {

class UninstallManagerTest : public ::testing::Test {
protected:
    void Entry(HKey root, const std::string& subkey, const std::string& name,
               const std::string& command = "u.exe") {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(root);
        ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\" + subkey, true));
        reg.WriteString("DisplayName", name);
        if (!command.empty()) {
            reg.WriteString("UninstallString", command);
        }
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& pair : Manager.Items) {
            names.push_back(pair.first);
        }
        return names;
    }

    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    TUninstallManager Manager{Sub.Platform, Info};
};

TEST_F(UninstallManagerTest, KeysTheUserMayNotWriteAreListedInFullAndNotDeleted) {
    Entry(kHKeyLocalMachine, "Locked", "Locked App");
    Entry(kHKeyLocalMachine, "Open", "Open App");
    Entry(kHKeyCurrentUser, "Mine", "My App");
    // A user without administrator rights: the machine-wide key and every
    // entry's key below it refuse writing (each key has rights of its own).
    for (const char* key : {"", "\\Locked", "\\Open"}) {
        Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, std::string(kUninstallKey) + key, true);
    }
    Manager.Refresh();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Locked App", "Open App", "My App"}));
    EXPECT_EQ(Manager.AppCount, 3);

    for (std::size_t i : {0u, 1u}) {
        TUninstallItem* item = Manager.Items[i].second.get();
        const std::string name = item->DisplayName;
        try {
            Manager.DeleteEntry(item);
            ADD_FAILURE() << name << " deleted";
        } catch (const ERightsError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot delete \"HKEY_LOCAL_MACHINE\\" + item->KeyPath +
                                                 "\": administrator rights are needed to change this key.");
        }
        // Still listed, still counted, still there.
        EXPECT_EQ(Manager.Items.size(), 3u);
        EXPECT_EQ(Manager.AppCount, 3);
        EXPECT_TRUE(Manager.EntryExists(*item));
    }
    Manager.DeleteEntry(Manager.Items[2].second.get()); // the user's own key
    EXPECT_EQ(Names(), (std::vector<std::string>{"Locked App", "Open App"}));
}

TEST_F(UninstallManagerTest, TheMachinesViewsAreReadInOrderAndOnceOnWindowsWithOneView) {
    Entry(kHKeyLocalMachine, "A", "Native App");
    Entry(kHKeyCurrentUser, "B", "User App");
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.SetView(kRegView32);
        ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\A", true));
        reg.WriteString("DisplayName", "Wow App");
        reg.WriteString("UninstallString", "w.exe");
    }
    Manager.Refresh();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Native App", "Wow App", "User App"}));
    EXPECT_EQ(Manager.Items[1].second->ShownKeyPath(),
              "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\A");
    EXPECT_EQ(Manager.Items[0].second->ShownKeyPath(), std::string(kUninstallKey) + "\\A");

    // 32-bit Windows: one view, read once; the key written through the
    // other view's name is an ordinary subkey there.
    Sub.Registry.SetTwoViews(false);
    Manager.Refresh();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Native App", "User App"}));
    EXPECT_EQ(Manager.Items[0].second->ShownKeyPath(), std::string(kUninstallKey) + "\\A");
}

TEST_F(UninstallManagerTest, ATreeWithOneLockedSubkeyIsRefusedWhole) {
    Entry(kHKeyCurrentUser, "Tree", "Tree App");
    const std::string path = std::string(kUninstallKey) + "\\Tree";
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(path + "\\A\\Deep", true));
        ASSERT_TRUE(reg.OpenKey(path + "\\B", true));
    }
    Sub.Registry.SetRefusesWrite(kHKeyCurrentUser, path + "\\B", true);
    Manager.Refresh();
    EXPECT_THROW(Manager.DeleteEntry(Manager.Items[0].second.get()), ERightsError);
    TRegistry reg(Sub.Registry, kKeyRead);
    reg.SetRootKey(kHKeyCurrentUser);
    EXPECT_TRUE(reg.KeyExists(path + "\\A\\Deep")); // nothing deleted before the refusal
    EXPECT_EQ(Manager.Items.size(), 1u);
}

TEST_F(UninstallManagerTest, RefreshStartsAfreshAndKeepsHasNew) {
    Entry(kHKeyCurrentUser, "A", "A");
    Manager.Refresh();
    Manager.HasNew = true;
    Manager.BadCount = 3;
    Entry(kHKeyCurrentUser, "B", "B");
    Manager.Refresh();
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Manager.AppCount, 2);
    EXPECT_EQ(Manager.BadCount, 0);
    EXPECT_TRUE(Manager.HasNew);
    EXPECT_TRUE(Manager.BadItems.empty());
}

TEST_F(UninstallManagerTest, ABadEntryTheRegistryWillNotDeleteStaysListedAndCounted) {
    Entry(kHKeyCurrentUser, "Gone", "Gone App");
    Entry(kHKeyCurrentUser, "Fine", "Fine App");
    Manager.Refresh();
    TUninstallItem* gone = Manager.Items[1].second.get();
    ASSERT_EQ(gone->DisplayName, "Gone App");
    gone->Bad = true;
    Manager.BadItems.emplace_back(gone->DisplayName, gone);
    Manager.BadCount = 1;
    Sub.Registry.SetRefusesWrite(kHKeyCurrentUser, std::string(kUninstallKey) + "\\Gone", true);

    EXPECT_THROW(Manager.DeleteEntry(gone), ERightsError);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Fine App", "Gone App"}));
    EXPECT_EQ(Manager.AppCount, 2);
    EXPECT_EQ(Manager.BadCount, 1);
    EXPECT_EQ(Manager.BadItems.size(), 1u);

    Sub.Registry.SetRefusesWrite(kHKeyCurrentUser, std::string(kUninstallKey) + "\\Gone", false);
    Manager.DeleteEntry(gone);
    EXPECT_EQ(Names(), std::vector<std::string>{"Fine App"});
    EXPECT_EQ(Manager.AppCount, 1);
    EXPECT_EQ(Manager.BadCount, 0);
    EXPECT_TRUE(Manager.BadItems.empty());

    TUninstallItem stranger(Sub.Platform);
    Manager.DeleteEntry(&stranger); // not one of the inventory's: nothing happens
    EXPECT_EQ(Manager.Items.size(), 1u);
}

TEST_F(UninstallManagerTest, NamesFileLinesEndAtAnyLineBreak) {
    struct TCase {
        const char* What;
        std::string Text;
        std::vector<std::string> Names;
    };
    const TCase cases[] = {
        {"CR LF", "One\r\nTwo\r\n", {"One", "Two"}},
        {"lone CR", "One\rTwo\r", {"One", "Two"}},
        {"lone LF", "One\nTwo", {"One", "Two"}},
        {"mixed, empty lines", "One\r\n\rTwo\n\nThree", {"One", "", "Two", "", "Three"}},
        {"empty file", "", {}},
        {"just a break", "\r\n", {""}},
        {"byte order mark", "\xEF\xBB\xBFOne\r\n", {"One"}},
        {"CR CR LF", "One\r\r\nTwo", {"One", "", "Two"}},
    };
    for (const TCase& c : cases) {
        Sub.Files.AddFile("C:\\names.dat", c.Text);
        Manager.LastNames = {"stale"};
        Manager.LoadLastNames("C:\\names.dat");
        EXPECT_EQ(Manager.LastNames, c.Names) << c.What;
    }
}

TEST_F(UninstallManagerTest, NewEntriesAreThoseMissingFromTheLastNamesInAnyCase) {
    Entry(kHKeyLocalMachine, "1", "Alpha");
    Entry(kHKeyCurrentUser, "2",
          "\xC3\x89"
          "clair");                            // É
    Entry(kHKeyCurrentUser, "3", "Gamma", ""); // not an application, still marked
    Entry(kHKeyCurrentUser, "4", "Delta");
    Manager.Refresh();

    Manager.LoadLastNames("C:\\no such file.dat");
    Manager.MarkNewEntries();
    EXPECT_FALSE(Manager.HasNew);
    EXPECT_EQ(Manager.LastNames, (std::vector<std::string>{"Alpha",
                                                           "\xC3\x89"
                                                           "clair",
                                                           "Gamma", "Delta"}));

    Sub.Files.AddFile("C:\\names.dat", "ALPHA\r\n\xC3\xA9"
                                       "CLAIR\r\ndelta\r\n");
    Manager.LoadLastNames("C:\\names.dat");
    Manager.MarkNewEntries();
    EXPECT_TRUE(Manager.HasNew);
    std::vector<bool> marks;
    for (const auto& pair : Manager.Items) {
        marks.push_back(pair.second->New);
    }
    EXPECT_EQ(marks, (std::vector<bool>{false, false, true, false}));
}

TEST_F(UninstallManagerTest, NamesHoldingLineBreaksAreKnownAgainNextTime) {
    Entry(kHKeyLocalMachine, "1", "Two\r\nLines");
    Entry(kHKeyCurrentUser, "2", "Lone\rCR");
    Entry(kHKeyCurrentUser, "3", "Lone\nLF\n");
    Entry(kHKeyCurrentUser, "4", "Plain");
    Manager.Refresh();
    Manager.SaveNames(kNamesFile);
    // One line for each name, line breaks turned into blanks; names without
    // any stay as they are, for older versions.
    std::string text;
    ASSERT_TRUE(Sub.Files.ReadFile("C:\\lastuninstall.dat", &text));
    EXPECT_EQ(text, "Two  Lines\r\nLone CR\r\nLone LF \r\nPlain\r\n");

    Entry(kHKeyCurrentUser, "5", "Fresh\r\nApp");
    TUninstallManager next(Sub.Platform, Info);
    next.Refresh();
    next.LoadLastNames(kNamesFile);
    next.MarkNewEntries();
    std::vector<bool> marks;
    for (const auto& pair : next.Items) {
        marks.push_back(pair.second->New);
    }
    EXPECT_EQ(marks, (std::vector<bool>{false, false, false, false, true}));

    // Without a file every entry is known, line breaks or not.
    TUninstallManager first(Sub.Platform, Info);
    first.Refresh();
    first.LoadLastNames("C:\\no such file.dat");
    first.MarkNewEntries();
    EXPECT_FALSE(first.HasNew);
}

TEST_F(UninstallManagerTest, AFirstNameStartingWithAByteOrderMarkKeepsIt) {
    Entry(kHKeyLocalMachine, "1", "\xEF\xBB\xBFMarked");
    Entry(kHKeyCurrentUser, "2", "Plain");
    Manager.Refresh();
    Manager.SaveNames(kNamesFile);
    TUninstallManager next(Sub.Platform, Info);
    next.Refresh();
    next.LoadLastNames(kNamesFile);
    EXPECT_EQ(next.LastNames, (std::vector<std::string>{"\xEF\xBB\xBFMarked", "Plain"}));
    next.MarkNewEntries();
    EXPECT_FALSE(next.HasNew);
}

TEST_F(UninstallManagerTest, SavingNamesReplacesTheFileWholeOrNotAtAll) {
    Entry(kHKeyLocalMachine, "1", "Machine App");
    Entry(kHKeyCurrentUser, "2", "User App");
    Entry(kHKeyCurrentUser, "3", "Machine App");
    Manager.Refresh();
    Manager.SaveNames(kNamesFile);
    std::string text;
    ASSERT_TRUE(Sub.Files.ReadFile("C:\\lastuninstall.dat", &text));
    EXPECT_EQ(text, "Machine App\r\nUser App\r\nMachine App\r\n");

    // Every failure point of the save leaves the old file as it was and no
    // stray temporary file.
    for (const char* failing : {"WriteFile", "MovePath"}) {
        Sub.Files.SetFault(
            [&](const std::string& operation, const std::string&) { return operation == failing; });
        Manager.Items.pop_back();
        try {
            Manager.SaveNames(kNamesFile);
            ADD_FAILURE() << failing;
        } catch (const EFileError& e) {
            EXPECT_STREQ(e.what(), "Cannot create file lastuninstall.dat");
        }
        Sub.Files.SetFault(nullptr);
        ASSERT_TRUE(Sub.Files.ReadFile("C:\\lastuninstall.dat", &text));
        EXPECT_EQ(text, "Machine App\r\nUser App\r\nMachine App\r\n") << failing;
        EXPECT_EQ(Sub.Files.FindFiles("C:\\", "*.new").size(), 0u) << failing;
        Manager.Refresh();
    }
    Sub.Files.SetAttributes("C:\\lastuninstall.dat", kFileAttributeReadOnly);
    EXPECT_THROW(Manager.SaveNames(kNamesFile), EFileError);
}

TEST_F(UninstallManagerTest, UninstallersStartWithTheirWholeCommandLine) {
    Sub.Files.AddFile("C:\\Program Files\\App\\uninst.exe", "MZ");
    bool removed = false;
    Sub.Processes.SetProgram("C:\\Program Files\\App\\uninst.exe", [&](const std::string&) {
        TProgramRun run;
        run.Steps = 5;
        run.AtExit = [&] { removed = true; };
        return run;
    });
    Entry(kHKeyCurrentUser, "App", "App", "\"C:\\Program Files\\App\\uninst.exe\" /S");
    Manager.Refresh();
    TUninstallItem& item = *Manager.Items[0].second;

    Manager.RunUninstaller(item);
    EXPECT_FALSE(removed); // does not wait
    EXPECT_EQ(Sub.Processes.Started(), std::vector<std::string>{"\"C:\\Program Files\\App\\uninst.exe\" /S"});

    Sub.PumpCount = 0;
    Manager.RunUninstallerAndWait(item);
    EXPECT_TRUE(removed);
    EXPECT_GE(Sub.PumpCount, 5); // the window kept its messages flowing
}

TEST_F(UninstallManagerTest, AnEntryIsReadAgainBeforeItsDelete) {
    using R = TUninstallManager::TRecheck;
    struct TCase {
        const char* What;
        std::function<void(TRegistry&)> Change; // on the entry's open key
        R Expected;
    };
    const TCase cases[] = {
        {"nothing", [](TRegistry&) {}, R::Unchanged},
        {"the same data written again",
         [](TRegistry& reg) { reg.WriteString("UninstallString", "C:\\Gone\\u.exe"); }, R::Unchanged},
        {"a value gone and back, now last",
         [](TRegistry& reg) {
             reg.DeleteValue("DisplayName");
             reg.WriteString("DisplayName", "App");
         },
         R::Unchanged},
        {"installed again", [](TRegistry& reg) { reg.WriteString("UninstallString", "C:\\New\\u.exe"); },
         R::Changed},
        {"a value more", [](TRegistry& reg) { reg.WriteString("DisplayVersion", "2.0"); }, R::Changed},
        {"a value's name in other letters", [](TRegistry& reg) { reg.WriteInteger("NOREMOVE", 0); },
         R::Changed},
        {"a type changed",
         [](TRegistry& reg) { reg.WriteExpandString("UninstallString", "C:\\Gone\\u.exe"); }, R::Changed},
        {"the key deleted", [](TRegistry& reg) { reg.DeleteKey(std::string(kUninstallKey) + "\\App"); },
         R::KeyGone},
        {"its files back", [this](TRegistry&) { Sub.Files.AddFile("C:\\Gone\\u.exe", "MZ"); }, R::FilesBack},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        Sub.Files.RemoveFile("C:\\Gone\\u.exe");
        Entry(kHKeyCurrentUser, "App", "App", "C:\\Gone\\u.exe");
        {
            TRegistry reg(Sub.Registry);
            reg.SetRootKey(kHKeyCurrentUser);
            reg.OpenKey(std::string(kUninstallKey) + "\\App", false);
            reg.DeleteValue("NOREMOVE");
            reg.DeleteValue("DisplayVersion");
        }
        Manager.SetCheckFiles(true);
        Manager.Refresh();
        ASSERT_EQ(Manager.BadCount, 1);
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(std::string(kUninstallKey) + "\\App", false);
        c.Change(reg);
        TFileCheck check = Manager.MakeFileCheck();
        EXPECT_EQ(Manager.RecheckEntry(*Manager.Items[0].second, check), c.Expected);
    }
    // An entry that was not bad is not asked about its files.
    Entry(kHKeyCurrentUser, "App", "App", "C:\\Gone\\u.exe");
    Manager.Refresh();
    Manager.Items[0].second->Bad = false;
    TFileCheck check = Manager.MakeFileCheck();
    EXPECT_EQ(Manager.RecheckEntry(*Manager.Items[0].second, check), R::Unchanged);
}

TEST_F(UninstallManagerTest, AutofixLeavesPartsOfOtherProductsAlone) {
    struct TCase {
        const char* Name;
        std::function<void(TRegistry&)> Mark;
        bool Offered;
    };
    const TCase cases[] = {
        {"Plain", [](TRegistry&) {}, true},
        {"Component", [](TRegistry& reg) { reg.WriteInteger("SystemComponent", 1); }, false},
        {"Not a component", [](TRegistry& reg) { reg.WriteInteger("SystemComponent", 0); }, true},
        {"Component as text", [](TRegistry& reg) { reg.WriteString("SystemComponent", "1"); }, true},
        {"Update", [](TRegistry& reg) { reg.WriteString("ParentKeyName", "Office"); }, false},
        {"Update of no product", [](TRegistry& reg) { reg.WriteString("ParentKeyName", ""); }, true},
        {"Update named oddly", [](TRegistry& reg) { reg.WriteInteger("ParentKeyName", 7); }, false},
    };
    std::vector<std::string> expected;
    for (const TCase& c : cases) {
        Entry(kHKeyCurrentUser, c.Name, c.Name, "C:\\Gone\\u.exe");
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(std::string(kUninstallKey) + "\\" + c.Name, false);
        c.Mark(reg);
        if (c.Offered) {
            expected.push_back(c.Name);
        }
    }
    Manager.SetCheckFiles(true);
    Manager.Refresh();
    EXPECT_EQ(Manager.BadCount, 7) << "their files are gone all the same";
    std::vector<std::string> offered;
    for (const auto& pair : Manager.AutofixItems()) {
        offered.push_back(pair.first);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, expected);
}

TEST_F(UninstallManagerTest, AnUninstallerRunsWhileItOrAProgramItStartedRuns) {
    struct TCase {
        const char* What;
        int Steps;
        int ChildSteps; // -1: starts none
        bool Runs;
    };
    const TCase cases[] = {
        {"ended", 0, -1, false},
        {"ends within the grace", 5, -1, false},
        {"still at work", 1000, -1, true},
        {"handed over to a copy of itself", 0, 1000, true},
        {"its copy ended too", 0, 0, false},
    };
    Sub.Files.AddFile("C:\\App\\uninst.exe", "MZ");
    Sub.Files.AddFile("C:\\Temp\\copy.exe", "MZ");
    Entry(kHKeyCurrentUser, "App", "App", "C:\\App\\uninst.exe");
    Manager.Refresh();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        Sub.Processes.SetProgram("C:\\App\\uninst.exe", [&c](const std::string&) {
            TProgramRun run;
            run.Steps = c.Steps;
            if (c.ChildSteps >= 0) {
                run.Children.push_back("C:\\Temp\\copy.exe");
            }
            return run;
        });
        Sub.Processes.SetProgram("C:\\Temp\\copy.exe", [&c](const std::string&) {
            TProgramRun run;
            run.Steps = c.ChildSteps;
            return run;
        });
        const auto process = Manager.StartUninstaller(*Manager.Items[0].second);
        ASSERT_NE(process, nullptr);
        EXPECT_EQ(Manager.UninstallerRuns(*process), c.Runs);
    }
}

} // namespace

} // namespace cv::test
