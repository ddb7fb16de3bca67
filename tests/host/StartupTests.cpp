#include "platform/Errors.h"
#include "platform/substitute/SubstitutePlatform.h"
#include "startup/StartupManager.h"

#include <gtest/gtest.h>

#include <functional>

namespace cv::test {

namespace {

const char* const kUserStartup = "C:\\Users\\Me\\Start Menu\\Programs\\Startup";
const char* const kUserDisabled = "C:\\Users\\Me\\Start Menu\\Programs\\Disabled Startup";
const char* const kCommonStartup = "C:\\ProgramData\\Start Menu\\Programs\\StartUp";

class StartupTest : public ::testing::Test {
protected:
    StartupTest() {
        Sub.Shell.SetSpecialFolder(kCsidlStartup, kUserStartup);
        Sub.Shell.SetSpecialFolder(kCsidlCommonStartup, kCommonStartup);
        Sub.Files.AddFolder(kUserStartup);
        Sub.Files.AddFolder(kCommonStartup);
        Sub.Files.AddFile("C:\\Tools\\tool.exe", "MZ");
    }

    void Value(HKey root, const char* key, const std::string& name, const std::string& command) {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(root);
        reg.OpenKey(key, true);
        reg.WriteString(name, command);
    }

    std::vector<std::string> Listing() {
        std::vector<std::string> out;
        for (const auto& item : Manager.GetItems(true)) {
            out.push_back(std::to_string(static_cast<int>(item->RunFrom)) + (item->Enabled ? "+" : "-") +
                          item->DisplayName + "=" + item->Command);
        }
        return out;
    }

    TStartupItem& Item(const std::string& name, bool enabled) {
        for (const auto& item : Manager.GetItems(true)) {
            if (item->DisplayName == name && item->Enabled == enabled) {
                return *item;
            }
        }
        throw std::runtime_error("no entry " + name);
    }

    std::string Command(HKey root, const char* key, const std::string& name) {
        TRegistry reg(Sub.Registry, kKeyRead);
        reg.SetRootKey(root);
        if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) {
            return "<none>";
        }
        return reg.ReadString(name);
    }

    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    TStartupManager Manager{Sub.Platform, Info};
};

TEST_F(StartupTest, ReadsTheEightStoresInOrder) {
    Value(kHKeyCurrentUser, kRunHiddenKey, "UserOff", "c:\\tools\\tool.exe -x");
    Value(kHKeyCurrentUser, kRunKey, "User", "C:\\Tools\\tool.exe");
    Value(kHKeyCurrentUser, kRunKey, "", "the default value is never listed");
    Value(kHKeyLocalMachine, kRunKey, "Machine", "\"C:\\Tools\\tool.exe\" /s");
    Value(kHKeyLocalMachine, kRunHiddenKey, "Machine", "hidden twin");
    Sub.Files.AddFile(std::string(kUserStartup) + "\\Tool.lnk", "x");
    Sub.Files.AddFile(std::string(kUserStartup) + "\\desktop.ini", "x",
                      kFileAttributeHidden | kFileAttributeSystem);
    Sub.Files.AddFile(std::string(kUserStartup) + "\\.dotfile", "x");
    Sub.Files.AddFolder(std::string(kUserStartup) + "\\A Folder");
    Sub.Files.AddFile(std::string(kUserDisabled) + "\\Old.Tool.lnk", "x");
    Sub.Files.AddFile(std::string(kCommonStartup) + "\\Common.lnk", "x");
    ASSERT_TRUE(Sub.Files.ChangeDirectory("C:\\Tools"));

    EXPECT_EQ(Listing(),
              (std::vector<std::string>{"2+Machine=\"C:\\Tools\\tool.exe\" /s", "2-Machine=hidden twin",
                                        "3+User=C:\\Tools\\tool.exe", "3-UserOff=c:\\tools\\tool.exe -x",
                                        "1+A Folder=A Folder", "1+desktop=desktop.ini", "1+Tool=Tool.lnk",
                                        "1-Old.Tool=Old.Tool.lnk", "0+Common=Common.lnk"}));
    EXPECT_EQ(Sub.Files.CurrentDirectory(), "C:\\Tools");
    EXPECT_EQ(Item("User", true).FilePath, "C:\\Tools\\tool.exe");
    EXPECT_EQ(Item("Machine", false).FilePath, "");
    EXPECT_EQ(Item("Old.Tool", false).FilePath, std::string(kUserDisabled) + "\\Old.Tool.lnk");

    // GetItems without refresh hands back the same list.
    TStartupItems& items = Manager.GetItems(false);
    EXPECT_EQ(&items, &Manager.Items);
}

TEST_F(StartupTest, KeysClosedToWritingAreReadAndMissingFoldersSkipped) {
    Value(kHKeyLocalMachine, kRunKey, "Machine", "x");
    Value(kHKeyCurrentUser, kRunKey, "User", "x");
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kRunKey, true);
    Sub.Files.AddFile(std::string(kUserDisabled) + "\\Parked.lnk", "x");
    Sub.Files.RemoveEmptyDirectory(kCommonStartup);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"2+Machine=x", "3+User=x", "1-Parked=Parked.lnk"}));
    // Switching it off or deleting it needs rights the user lacks: said so, nothing written.
    for (const auto& act : {std::function<void(TStartupItem&)>([](TStartupItem& i) { i.Hide(); }),
                            std::function<void(TStartupItem&)>([](TStartupItem& i) { i.Delete(); })}) {
        try {
            act(Item("Machine", true));
            ADD_FAILURE() << "not refused";
        } catch (const ERightsError& e) {
            EXPECT_NE(std::string(e.what()).find("\"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                                                 "CurrentVersion\\Run"),
                      std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find("administrator rights are needed"), std::string::npos);
        }
        EXPECT_EQ(Command(kHKeyLocalMachine, kRunKey, "Machine"), "x");
        EXPECT_EQ(Command(kHKeyLocalMachine, kRunHiddenKey, "Machine"), "<none>");
    }
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kRunKey, false);
    const char* const kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kCurrentVersion, true); // no Run_Hidden can be made
    EXPECT_THROW(Item("Machine", true).Hide(), ERightsError);
    EXPECT_EQ(Command(kHKeyLocalMachine, kRunKey, "Machine"), "x");
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kCurrentVersion, false);
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kRunKey, true);

    // Without its Startup folder, a disabled folder is not read.
    Sub.Shell.SetSpecialFolder(kCsidlStartup, "C:\\Users\\Me\\Start Menu\\Programs\\Gone");
    Sub.Files.AddFile("C:\\Users\\Me\\Start Menu\\Programs\\Disabled Startup\\Other.lnk", "x");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"2+Machine=x", "3+User=x"}));
}

TEST_F(StartupTest, AValueThatHoldsNoCommandIsSkippedAndNamed) {
    Value(kHKeyLocalMachine, kRunKey, "First", "x");
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.OpenKey(kRunKey, false);
        reg.WriteInteger("Number", 1);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(kRunHiddenKey, true);
        reg.WriteBinaryData("Blob", "ab", 2);
    }
    Value(kHKeyLocalMachine, kRunKey, "After", "x");
    Value(kHKeyCurrentUser, kRunKey, "User", "x");
    Sub.Files.AddFile(std::string(kUserStartup) + "\\Tool.lnk", "x");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"2+First=x", "2+After=x", "3+User=x", "1+Tool=Tool.lnk"}));
    EXPECT_EQ(Manager.Skipped,
              (std::vector<std::string>{
                  "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Number",
                  "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run_Hidden\\Blob"}));
    // A read without them forgets them.
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.OpenKey(kRunKey, false);
        reg.DeleteValue("Number");
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(kRunHiddenKey, false);
        reg.DeleteValue("Blob");
    }
    Manager.GetItems(true);
    EXPECT_TRUE(Manager.Skipped.empty());
}

TEST_F(StartupTest, TwinsOfOneNameAreNeverMovedOntoEachOther) {
    Value(kHKeyCurrentUser, kRunKey, "Twin", "enabled command");
    Value(kHKeyCurrentUser, kRunHiddenKey, "Twin", "hidden command");
    try {
        Item("Twin", false).Show();
        ADD_FAILURE() << "moved onto its twin";
    } catch (const EStartupError& e) {
        EXPECT_STREQ(e.what(),
                     "Cannot switch on \"Twin\": \"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                     "CurrentVersion\\Run\" already holds an entry of that name.");
    }
    EXPECT_THROW(Item("Twin", true).Hide(), EStartupError);
    TStartupItem& hidden = Item("Twin", false);
    hidden.Enabled = true;
    EXPECT_THROW(hidden.ApplyState(), EStartupError);
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunKey, "Twin"), "enabled command");
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunHiddenKey, "Twin"), "hidden command");

    // Each deletes itself only.
    Item("Twin", true).Delete();
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunKey, "Twin"), "<none>");
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunHiddenKey, "Twin"), "hidden command");

    // The same for shortcuts in both folders.
    Sub.Files.AddFile(std::string(kUserStartup) + "\\Tool.lnk", "enabled");
    Sub.Files.AddFile(std::string(kUserDisabled) + "\\Tool.lnk", "parked");
    EXPECT_THROW(Item("Tool", true).Hide(), EStartupError);
    EXPECT_THROW(Item("Tool", false).Show(), EStartupError);
    for (const auto& [folder, text] :
         {std::pair{kUserStartup, "enabled"}, std::pair{kUserDisabled, "parked"}}) {
        std::string found;
        EXPECT_TRUE(Sub.Files.ReadFile(std::string(folder) + "\\Tool.lnk", &found));
        EXPECT_EQ(found, text);
    }
}

TEST_F(StartupTest, ADeleteThatLeavesTheEntrySaysSo) {
    Value(kHKeyCurrentUser, kRunKey, "Key", "x");
    Sub.Files.AddFile(std::string(kUserStartup) + "\\Tool.lnk", "x");
    Sub.Registry.SetFault([](const std::string& op, const std::string&) { return op == "DeleteValue"; });
    Sub.Files.SetFault([](const std::string& op, const std::string&) { return op == "RemoveFile"; });
    EXPECT_THROW(Item("Key", true).Delete(), ERegistryError);
    EXPECT_THROW(Item("Tool", true).Delete(), EStartupError);
    Sub.Registry.SetFault(nullptr);
    Sub.Files.SetFault(nullptr);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"3+Key=x", "1+Tool=Tool.lnk"}));
    // An entry someone else removed meanwhile is simply gone.
    TStartupItem& key = Item("Key", true);
    TStartupItem& tool = *Manager.Items[1];
    Sub.Files.RemoveFile(tool.FilePath);
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(kRunKey, false);
        reg.DeleteValue("Key");
    }
    EXPECT_NO_THROW(key.Delete());
    EXPECT_NO_THROW(tool.Delete());
}

TEST_F(StartupTest, ARefusedKeyLeavesTheEntryWhereItWas) {
    Value(kHKeyLocalMachine, kRunKey, "Machine", "x");
    TStartupItem& item = Item("Machine", true);
    Sub.Registry.SetFault([](const std::string& op, const std::string&) { return op == "CreateKey"; });
    EXPECT_THROW(item.Hide(), ERegistryError);
    Sub.Registry.SetFault(nullptr);
    EXPECT_EQ(Command(kHKeyLocalMachine, kRunKey, "Machine"), "x");
    EXPECT_EQ(Command(kHKeyLocalMachine, kRunHiddenKey, "Machine"), "<none>");
}

TEST_F(StartupTest, FolderEntriesMoveAndTheDisabledFolderLivesOnlyWhileUsed) {
    const std::string tool = std::string(kUserStartup) + "\\Tool.lnk";
    const std::string parked = std::string(kUserDisabled) + "\\Tool.lnk";
    Sub.Files.AddFile(tool, "link");
    TStartupItem& item = Item("Tool", true);
    item.Hide();
    EXPECT_TRUE(Sub.Files.FileExists(parked));
    EXPECT_EQ(item.FilePath, parked); // the same object, no new read, knows where it went
    item.Hide();                      // already there
    item.Show();
    EXPECT_TRUE(Sub.Files.FileExists(tool));
    EXPECT_EQ(item.FilePath, tool);
    EXPECT_FALSE(Sub.Files.DirectoryExists(kUserDisabled));
    item.Hide();
    item.Delete();
    EXPECT_FALSE(Sub.Files.FileExists(parked));
    EXPECT_FALSE(Sub.Files.FileExists(tool));

    // Applying the state an entry already has moves nothing and tidies up.
    Sub.Files.AddFile(tool, "link");
    Sub.Files.AddFolder(kUserDisabled);
    TStartupItem& enabled = Item("Tool", true);
    enabled.ApplyState();
    EXPECT_TRUE(Sub.Files.FileExists(tool));
    EXPECT_FALSE(Sub.Files.DirectoryExists(kUserDisabled));

    // A move the file system refuses is reported, and the entry stays put.
    Sub.Files.SetFault([](const std::string& op, const std::string&) { return op == "MovePath"; });
    EXPECT_THROW(enabled.Hide(), EStartupError);
    Sub.Files.SetFault(nullptr);
    EXPECT_EQ(enabled.FilePath, tool);
    EXPECT_TRUE(Sub.Files.FileExists(tool));
}

TEST_F(StartupTest, NewEntriesAreNamedFromWhatTheUserTyped) {
    Manager.AddStartupItem("My Tool 2.0", "C:\\Tools\\tool.exe", TRunFrom::rfCurrentUserFolder);
    Manager.AddStartupItem("My Tool", "C:\\Tools\\tool.exe", TRunFrom::rfAllUsersFolder);
    Manager.AddStartupItem("Key Tool", "C:\\Tools\\tool.exe /min", TRunFrom::rfCurrentUserKey);
    EXPECT_TRUE(Sub.Files.FileExists(std::string(kUserStartup) + "\\My Tool 2.lnk"));
    EXPECT_TRUE(Sub.Files.FileExists(std::string(kCommonStartup) + "\\My Tool.lnk"));
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunKey, "Key Tool"), "C:\\Tools\\tool.exe /min");
}

TEST_F(StartupTest, ATypedCommandSplitsIntoProgramAndArguments) {
    Sub.Files.AddFile("C:\\Program Files\\My Tool\\tool.exe", "MZ");
    const struct {
        const char* Command;
        const char* Program;
        const char* Arguments;
    } cases[] = {
        {"C:\\Tools\\tool.exe", "C:\\Tools\\tool.exe", ""},
        {"C:\\Tools\\tool.exe /min", "C:\\Tools\\tool.exe", "/min"},
        {"C:\\Program Files\\My Tool\\tool.exe -a  b", "C:\\Program Files\\My Tool\\tool.exe", "-a  b"},
        {"\"C:\\Program Files\\My Tool\\tool.exe\" /x", "C:\\Program Files\\My Tool\\tool.exe", "/x"},
        {"\"C:\\Gone\\x.exe\"", "C:\\Gone\\x.exe", ""},
        {"C:\\Gone\\x.exe /y", "C:\\Gone\\x.exe /y", ""}, // nothing found: taken whole
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const TCommandParts parts = SplitCommand(Sub.Platform, c.Command);
        EXPECT_EQ(parts.Program, c.Program) << c.Command;
        EXPECT_EQ(parts.Arguments, c.Arguments) << c.Command;
    }
    // Saved: a shortcut gets its arguments apart, a Run value its program quoted.
    Manager.AddStartupItem("Args", "C:\\Program Files\\My Tool\\tool.exe /x", TRunFrom::rfCurrentUserFolder);
    std::string link;
    ASSERT_TRUE(Sub.Files.ReadFile(std::string(kUserStartup) + "\\Args.lnk", &link));
    EXPECT_NE(link.find("C:\\Program Files\\My Tool\\tool.exe\n/x\n"), std::string::npos) << link;
    Manager.AddStartupItem("Quoted", "C:\\Program Files\\My Tool\\tool.exe /x", TRunFrom::rfCurrentUserKey);
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunKey, "Quoted"), "\"C:\\Program Files\\My Tool\\tool.exe\" /x");
    // Names of blanks name nothing, in either store.
    for (TRunFrom store : {TRunFrom::rfCurrentUserKey, TRunFrom::rfCurrentUserFolder}) {
        EXPECT_THROW(Manager.CheckNewStartupItem("   ", "C:\\Tools\\tool.exe", store), EStartupError);
    }
}

// An entry removed since the read (its program's uninstaller took it away)
// is not brought back by writing the marks.
TEST_F(StartupTest, AnEntryRemovedSinceTheReadStaysRemoved) {
    Value(kHKeyCurrentUser, kRunKey, "Key", "x");
    Sub.Files.AddFile(std::string(kUserStartup) + "\\Tool.lnk", "x");
    Manager.GetItems(true);
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(kRunKey, false);
        reg.DeleteValue("Key");
    }
    Sub.Files.RemoveFile(std::string(kUserStartup) + "\\Tool.lnk");
    for (const auto& item : Manager.Items) {
        for (bool enabled : {false, true}) {
            item->Enabled = enabled;
            EXPECT_NO_THROW(item->ApplyState()) << item->DisplayName;
        }
    }
    EXPECT_TRUE(Listing().empty());
}

TEST_F(StartupTest, ANewEntryNeverReplacesOneOfTheSameName) {
    Value(kHKeyCurrentUser, kRunKey, "Taken", "old");
    Value(kHKeyCurrentUser, kRunHiddenKey, "Parked", "old");
    Sub.Files.AddFile(std::string(kUserStartup) + "\\Taken.lnk", "old");
    Sub.Files.AddFile(std::string(kUserDisabled) + "\\Parked.lnk", "old");
    const struct {
        const char* Name;
        TRunFrom Store;
    } taken[] = {
        {"Taken", TRunFrom::rfCurrentUserKey},    {"Parked", TRunFrom::rfCurrentUserKey},
        {"Taken", TRunFrom::rfCurrentUserFolder}, {"Parked.exe", TRunFrom::rfCurrentUserFolder},
        {"", TRunFrom::rfCurrentUserKey},         {"", TRunFrom::rfAllUsersFolder},
    };
    for (const auto& t : taken) {
        EXPECT_THROW(Manager.CheckNewStartupItem(t.Name, "new", t.Store), EStartupError) << t.Name;
        EXPECT_THROW(Manager.AddStartupItem(t.Name, "new", t.Store), EStartupError) << t.Name;
    }
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunKey, "Taken"), "old");
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunHiddenKey, "Parked"), "old");
    EXPECT_EQ(Command(kHKeyCurrentUser, kRunKey, ""), "<none>");
    EXPECT_EQ(Listing().size(), 4u);
    // The same names are free in the other root and for everyone's folder.
    EXPECT_NO_THROW(Manager.CheckNewStartupItem("Taken", "new", TRunFrom::rfAllUsersKey));
    EXPECT_NO_THROW(Manager.CheckNewStartupItem("Taken", "new", TRunFrom::rfAllUsersFolder));
    EXPECT_EQ(Listing().size(), 4u); // a check writes nothing

    // A shortcut the shell could not write is no new entry.
    Sub.Files.SetFault([](const std::string& op, const std::string&) { return op == "WriteFile"; });
    EXPECT_THROW(Manager.AddStartupItem("Unwritten", "new", TRunFrom::rfCurrentUserFolder), EStartupError);
    Sub.Files.SetFault(nullptr);
    EXPECT_EQ(Listing().size(), 4u);
}

TEST_F(StartupTest, NamesAndStoresThatWouldWriteElsewhereAreRefused) {
    const char* const bad[] = {"..\\..\\evil", "sub/dir", "C:evil", "..", ".", "", "a|b", "new\nline"};
    for (const char* name : bad) {
        EXPECT_THROW(Manager.AddStartupItem(name, "C:\\Tools\\tool.exe", TRunFrom::rfCurrentUserFolder),
                     EStartupError)
            << name;
    }
    for (int store : {4, 255}) {
        EXPECT_THROW(Manager.AddStartupItem("Fine", "C:\\Tools\\tool.exe", static_cast<TRunFrom>(store)),
                     EStartupError);
    }
    TFolderStartupItem stray(Sub.Platform);
    stray.RunFrom = TRunFrom::rfCurrentUserFolder;
    stray.FilePath = "C:\\Tools\\tool.exe";
    EXPECT_THROW(stray.Delete(), EStartupError);
    EXPECT_THROW(stray.Hide(), EStartupError);
    EXPECT_TRUE(Sub.Files.FileExists("C:\\Tools\\tool.exe"));
    // Nothing was written anywhere.
    EXPECT_TRUE(Sub.Files.FindFiles(kUserStartup, "*").empty());
    EXPECT_TRUE(Sub.Files.FindFiles("C:\\Users\\Me\\Start Menu", "*.lnk").empty());
    EXPECT_TRUE(Sub.Files.FindFiles("C:\\", "*.lnk").empty());
    EXPECT_FALSE(Sub.Files.DirectoryExists(kUserDisabled));
}

} // namespace

} // namespace cv::test
