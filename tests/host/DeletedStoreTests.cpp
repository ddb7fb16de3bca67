// The store of deleted entries: every delete of the program keeps a copy
// first, or does not happen, and a copy puts back exactly what went.
#include "app/DeletedStore.h"
#include "contract/KeyValues.h"
#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/Utf.h"
#include "platform/substitute/SubstitutePlatform.h"
#include "startup/StartupApproved.h"
#include "startup/StartupManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

namespace cv::test {

namespace {

const std::string kStore = std::string(TSubstitutePlatform::kAppData) + "\\Clearvane\\Deleted";
const std::string kUser = std::string(kUninstallKey) + "\\Tool";
const std::string kStartup = "C:\\Me\\Startup";

// Names, types and bytes, for comparing and for reading in a failure.
std::string ValuesText(const TKeyValues& values) {
    std::string text;
    for (const auto& [name, value] : values) {
        text += "\"" + name + "\"=" + std::to_string(value.Type) + ":";
        for (const std::uint8_t byte : value.Data) {
            text += "0123456789abcdef"[byte >> 4];
            text += "0123456789abcdef"[byte & 15];
        }
        text += " ";
    }
    return text;
}

class DeletedStoreTest : public ::testing::Test {
protected:
    DeletedStoreTest() {
        Sub.Shell.SetSpecialFolder(kCsidlStartup, kStartup);
        Sub.Files.AddFolder(kStartup);
        Store.Clock = [this] { return ++Now; };
    }

    // A key with a value of every type, an odd name and two levels of subkeys.
    void PutTree(HKey root, const std::string& path, TRegView view = kRegViewNative) {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(root);
        reg.SetView(view);
        reg.OpenKey(path, true);
        reg.WriteString("DisplayName", "Tool");
        reg.WriteExpandString("UninstallString", "%ProgramFiles%\\Tool\\uninst.exe");
        reg.WriteInteger("NoModify", 1);
        reg.WriteBinaryData("Blob", "\x00\x01\xff", 3);
        reg.WriteRaw("Lines", {kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
        reg.WriteRaw("Big", {kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}});
        reg.WriteRaw("Odd \"name\" = \\", {kRegNone, {}});
        reg.WriteRaw("", {kRegSz, {'x', 0, 0}}); // a string without its end in whole units
        reg.OpenKey(path + "\\Parts\\Deeper", true);
        reg.WriteRaw("Endian", {kRegDwordBigEndian, {0, 0, 0, 9}});
    }

    TKeyTree Tree(HKey root, const std::string& path, TRegView view = kRegViewNative) {
        return KeyTree(Sub.Registry, root, root == kHKeyLocalMachine ? ShownKeyPath(path, view) : path);
    }

    std::vector<std::string> StoreFiles() {
        std::vector<std::string> names;
        for (const TFoundFile& found : Sub.Files.FindFiles(kStore, "*")) {
            names.push_back(found.Name);
        }
        return names;
    }

    TSubstitutePlatform Sub;
    TDeletedStore Store{Sub.Platform};
    std::int64_t Now = 1'800'000'000;
};

TEST_F(DeletedStoreTest, EveryKindOfEntryComesBackByteForByte) {
    TFileInfoManager info(Sub.Platform);
    TUninstallManager inventory(Sub.Platform, info);
    TStartupManager startup(Sub.Platform, info);
    const std::string lnk = kStartup + "\\Tool Link.lnk";
    const std::string bytes("L\0\0\0\x01\x14\x02\0\r\n\xff", 11);
    struct TCase {
        const char* What;
        std::function<void()> Make;
        std::function<void()> Delete;
        std::function<std::string()> State;
        TDeletedKind Kind;
        std::string Name;
        std::string Where;
    };
    const auto deleteEntry = [&](HKey root) {
        inventory.Refresh();
        for (const auto& [name, item] : inventory.Items) {
            if (item->RootKey == root) {
                inventory.DeleteEntry(item.get());
                return;
            }
        }
        FAIL() << "no entry under the root";
    };
    const auto deleteStartup = [&](const std::string& name) {
        for (const auto& item : startup.GetItems(true)) {
            if (item->DisplayName == name) {
                startup.DeleteStartupItem(*item);
                return;
            }
        }
        FAIL() << "no startup entry " << name;
    };
    const auto treeText = [&](HKey root, TRegView view) {
        std::string text;
        for (const auto& [path, values] : Tree(root, kUser, view)) {
            text += "[" + path + "]" + ValuesText(values);
        }
        return text;
    };
    const TCase cases[] = {
        {"a user's key", [&] { PutTree(kHKeyCurrentUser, kUser); }, [&] { deleteEntry(kHKeyCurrentUser); },
         [&] { return treeText(kHKeyCurrentUser, kRegViewNative); }, TDeletedKind::Key, "Tool",
         "HKEY_CURRENT_USER\\" + kUser},
        {"a key of the machine's 32-bit view", [&] { PutTree(kHKeyLocalMachine, kUser, kRegView32); },
         [&] { deleteEntry(kHKeyLocalMachine); },
         [&] {
             // Nothing of it may appear in the 64-bit view.
             return treeText(kHKeyLocalMachine, kRegView32) + "|" + treeText(kHKeyLocalMachine, kRegView64);
         },
         TDeletedKind::Key, "Tool",
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"},
        {"a switched-off Run value, expandable",
         [&] {
             TRegistry reg(Sub.Registry);
             reg.SetRootKey(kHKeyCurrentUser);
             reg.OpenKey(kRunHiddenKey, true);
             reg.WriteExpandString("Tool", "%x%\\tool.exe /min");
             reg.WriteString("Other", "other.exe");
         },
         [&] { deleteStartup("Tool"); },
         [&] {
             // The value comes back last; its bytes and type are what count.
             return ValuesText(SortedByName(KeyValues(Sub.Registry, kHKeyCurrentUser, kRunHiddenKey)));
         },
         TDeletedKind::Value, "Tool", std::string("HKEY_CURRENT_USER\\") + kRunHiddenKey},
        {"a Startup folder's shortcut", [&] { Sub.Files.AddFile(lnk, bytes); },
         [&] { deleteStartup("Tool Link"); },
         [&] {
             std::string now;
             return Sub.Files.ReadFile(lnk, &now) ? now : std::string("(none)");
         },
         TDeletedKind::File, "Tool Link", kStartup},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        c.Make();
        const std::string before = c.State();
        c.Delete();
        ASSERT_NE(c.State(), before) << "nothing was deleted";
        const std::vector<TDeletedEntry> kept = Store.List();
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(kept[0].Kind, c.Kind);
        EXPECT_EQ(kept[0].Name, c.Name);
        EXPECT_EQ(DeletedWhere(kept[0]), c.Where);
        EXPECT_EQ(Store.Restore(kept[0], false), TDeletedStore::TRestored::Done);
        EXPECT_EQ(c.State(), before);
        EXPECT_TRUE(Store.List().empty()) << "a copy put back is dropped";
        EXPECT_TRUE(StoreFiles().empty());
    }
}

TEST_F(DeletedStoreTest, NoCopyMeansNoDelete) {
    TFileInfoManager info(Sub.Platform);
    TUninstallManager inventory(Sub.Platform, info);
    TStartupManager startup(Sub.Platform, info);
    PutTree(kHKeyCurrentUser, kUser);
    Sub.Files.AddFile(kStartup + "\\Tool.lnk", "link");
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(kRunKey, true);
        reg.WriteString("Run Tool", "tool.exe");
    }
    const TKeyTree tree = Tree(kHKeyCurrentUser, kUser);
    const TKeyValues run = KeyValues(Sub.Registry, kHKeyCurrentUser, kRunKey);
    const struct {
        const char* What;
        std::function<void()> Break;
        bool RegistryOnly = false;
    } breaks[] = {
        {"no application data folder", [&] { Sub.Shell.SetSpecialFolder(kCsidlAppData, ""); }},
        {"the copy cannot be written",
         [&] {
             Sub.Files.SetFault([](const std::string& op, const std::string& path) {
                 return op == "WriteFile" && path.ends_with(".txt");
             });
         }},
        {"the store's folder cannot be made",
         [&] {
             Sub.Files.SetFault(
                 [](const std::string& op, const std::string&) { return op == "MakeDirectory"; });
         }},
        {"the key cannot be read",
         [&] {
             Sub.Registry.SetReadFault(
                 [](const std::string& op, const std::string&) { return op == "QueryValue"; });
         },
         true},
    };
    for (const auto& b : breaks) {
        SCOPED_TRACE(b.What);
        Sub.Files.RemoveEmptyDirectory(kStore); // made afresh by the first copy
        b.Break();
        inventory.Refresh();
        for (const auto& [name, item] : inventory.Items) {
            EXPECT_THROW(inventory.DeleteEntry(item.get()), EBackupError);
        }
        for (const auto& item : startup.GetItems(true)) {
            if (!b.RegistryOnly || dynamic_cast<TRegistryStartupItem*>(item.get()) != nullptr) {
                EXPECT_THROW(startup.DeleteStartupItem(*item), EBackupError) << item->DisplayName;
            }
        }
        Sub.Files.SetFault(nullptr);
        Sub.Registry.SetReadFault(nullptr);
        Sub.Shell.SetSpecialFolder(kCsidlAppData, TSubstitutePlatform::kAppData);
        EXPECT_EQ(Tree(kHKeyCurrentUser, kUser), tree);
        EXPECT_EQ(KeyValues(Sub.Registry, kHKeyCurrentUser, kRunKey), run);
        EXPECT_TRUE(Sub.Files.FileExists(kStartup + "\\Tool.lnk"));
        EXPECT_TRUE(Store.List().empty()) << "half a copy is no copy";
    }
}

// A copy puts back only the key (or value) it was made of: one whose file
// was changed to name anything else restores nothing.
TEST_F(DeletedStoreTest, ACopyThatNamesAnythingElseRestoresNothing) {
    PutTree(kHKeyCurrentUser, kUser);
    Store.SaveKey(kHKeyCurrentUser, kRegViewNative, kUser, "Tool");
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey("Software\\Run Value Home", true);
        reg.WriteString("Keep", "me");
        reg.OpenKey(kRunKey, true);
        reg.WriteString("Tool", "tool.exe");
    }
    Store.SaveValue(kHKeyCurrentUser, kRegViewNative, kRunKey, "Tool", "Tool");
    const std::vector<TDeletedEntry> kept = Store.List();
    ASSERT_EQ(kept.size(), 2u);
    const TDeletedEntry& value = kept[0]; // newest first
    const TDeletedEntry& key = kept[1];
    ASSERT_EQ(value.Kind, TDeletedKind::Value);
    ASSERT_EQ(key.Kind, TDeletedKind::Key);
    const auto file = [&](const TDeletedEntry& e) { return kStore + "\\" + e.Id + ".reg"; };
    const auto regText = [](const std::string& body) {
        const std::vector<std::uint8_t> wide =
            Utf8ToUtf16Bytes("Windows Registry Editor Version 5.00\r\n\r\n" + body);
        return std::string("\xFF\xFE") + std::string(wide.begin(), wide.end());
    };
    const std::string uninstall = "HKEY_CURRENT_USER\\" + kUser;
    const std::string run = std::string("HKEY_CURRENT_USER\\") + kRunKey;
    const struct {
        const char* What;
        const TDeletedEntry& Entry;
        std::string Text;
    } cases[] = {
        {"a sibling key", key, regText("[" + uninstall + "2]\r\n\"A\"=\"b\"\r\n")},
        {"another root", key, regText("[HKEY_LOCAL_MACHINE\\" + kUser + "]\r\n\"A\"=\"b\"\r\n")},
        {"a key removed", key, regText("[-HKEY_CURRENT_USER\\Software\\Run Value Home]\r\n")},
        {"a value removed", key, regText("[" + uninstall + "]\r\n\"DisplayName\"=-\r\n")},
        {"a line that cannot be read", key, regText("[" + uninstall + "]\r\nDisplayName=x\r\n")},
        {"not a registry file", key, "hello"},
        {"a second value", value, regText("[" + run + "]\r\n\"Tool\"=\"a\"\r\n\"Other\"=\"b\"\r\n")},
        {"another value", value, regText("[" + run + "]\r\n\"Other\"=\"b\"\r\n")},
        {"a value under a subkey", value, regText("[" + run + "\\Sub]\r\n\"Tool\"=\"a\"\r\n")},
    };
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.DeleteKey(kUser);
        reg.OpenKey(kRunKey, false);
        reg.DeleteValue("Tool");
    }
    const TKeyTree software = Tree(kHKeyCurrentUser, "Software");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        std::string saved;
        ASSERT_TRUE(Sub.Files.ReadFile(file(c.Entry), &saved));
        Sub.Files.WriteFile(file(c.Entry), c.Text);
        EXPECT_THROW(Store.Restore(c.Entry, false), EBackupError);
        EXPECT_EQ(Tree(kHKeyCurrentUser, "Software"), software);
        EXPECT_EQ(Store.List().size(), 2u) << "the copy stays";
        Sub.Files.WriteFile(file(c.Entry), saved);
    }
}

TEST_F(DeletedStoreTest, WhatStandsAgainIsReplacedOnlyWhenAskedAndKeptInTurn) {
    PutTree(kHKeyCurrentUser, kUser);
    const TKeyTree first = Tree(kHKeyCurrentUser, kUser);
    TFileInfoManager info(Sub.Platform);
    TUninstallManager inventory(Sub.Platform, info);
    inventory.Refresh();
    inventory.DeleteEntry(inventory.Items[0].second.get());
    // The application is installed again into the same key.
    TRegistry reg(Sub.Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    reg.OpenKey(kUser, true);
    reg.WriteString("DisplayName", "Tool 2");
    const TKeyTree second = Tree(kHKeyCurrentUser, kUser);

    const TDeletedEntry entry = Store.List().at(0);
    EXPECT_TRUE(Store.IsBack(entry));
    EXPECT_EQ(Store.Restore(entry, false), TDeletedStore::TRestored::IsBack);
    EXPECT_EQ(Tree(kHKeyCurrentUser, kUser), second) << "not replaced unasked";
    EXPECT_EQ(Store.Restore(entry, true), TDeletedStore::TRestored::Done);
    EXPECT_EQ(Tree(kHKeyCurrentUser, kUser), first);
    // The key it replaced is the one copy left.
    const std::vector<TDeletedEntry> kept = Store.List();
    ASSERT_EQ(kept.size(), 1u);
    reg.DeleteKey(kUser);
    Store.Restore(kept[0], false);
    EXPECT_EQ(Tree(kHKeyCurrentUser, kUser), second);
}

TEST_F(DeletedStoreTest, TheStoreKeepsTheNewestUpToItsLimit) {
    Store.Limit = 3;
    for (int i = 0; i < 5; ++i) {
        Sub.Files.AddFile(kStartup + "\\" + std::to_string(i) + ".lnk", std::to_string(i));
        Store.SaveFile(kStartup + "\\" + std::to_string(i) + ".lnk", "entry " + std::to_string(i));
    }
    std::vector<std::string> names;
    for (const TDeletedEntry& entry : Store.List()) {
        names.push_back(entry.Name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"entry 4", "entry 3", "entry 2"}));
    EXPECT_EQ(StoreFiles().size(), 6u) << "the oldest copies go with their records";
}

// Records are read whatever their line ends; one that is not whole, or
// whose data is gone, is not listed and is left where it is.
TEST_F(DeletedStoreTest, OddRecordsAreLeftOutAndLeftAlone) {
    Sub.Files.AddFile(kStartup + "\\a.lnk", "a");
    Store.SaveFile(kStartup + "\\a.lnk", "Line\r\nbreak \\ and\rmore");
    const TDeletedEntry good = Store.List().at(0);
    EXPECT_EQ(good.Name, "Line\r\nbreak \\ and\rmore");
    const std::string data = kStore + "\\" + good.Id + ".dat";
    const struct {
        const char* Name;
        std::string Record;
        bool Listed;
    } records[] = {
        {"lf", "Kind=File\nName=LF only\nDeleted=5\nFile=C:\\x.lnk\n", true},
        {"cr", "Kind=File\rName=CR only\rDeleted=6\rFile=C:\\x.lnk", true},
        {"nokind", "Name=x\r\nDeleted=5\r\nFile=C:\\x.lnk\r\n", false},
        {"badkind", "Kind=Folder\r\nName=x\r\nDeleted=5\r\nFile=C:\\x.lnk\r\n", false},
        {"badtime", "Kind=File\r\nName=x\r\nDeleted=soon\r\nFile=C:\\x.lnk\r\n", false},
        {"noroot", "Kind=Key\r\nName=x\r\nDeleted=5\r\nKey=Software\\x\r\n", false},
        {"badroot", "Kind=Key\r\nName=x\r\nDeleted=5\r\nRoot=HKEY_NOWHERE\r\nKey=Software\\x\r\n", false},
        {"garbage", std::string("\0\xff\xfe=\r\n\r\n", 7), false},
        {"nodata", "Kind=Value\r\nName=x\r\nDeleted=5\r\nRoot=HKEY_CURRENT_USER\r\nKey=k\r\nValue=v\r\n",
         false},
    };
    for (const auto& r : records) {
        Sub.Files.AddFile(kStore + "\\" + r.Name + ".txt", r.Record);
        if (std::string(r.Name) != "nodata") {
            Sub.Files.AddFile(kStore + "\\" + r.Name + ".dat", "x");
        }
    }
    std::vector<std::string> listed;
    for (const TDeletedEntry& entry : Store.List()) {
        listed.push_back(entry.Name);
    }
    EXPECT_EQ(listed, (std::vector<std::string>{good.Name, "CR only", "LF only"}));
    EXPECT_EQ(StoreFiles().size(), 2u + 2 * std::size(records) - 1);
    std::string kept;
    EXPECT_TRUE(Sub.Files.ReadFile(data, &kept));
}

// A copy is never dropped by its own making, whatever the clock says, and a
// delete that did not happen leaves no copy behind.
TEST_F(DeletedStoreTest, TheCopyJustMadeStaysAndARefusedDeleteLeavesNone) {
    Store.Limit = 2;
    Now = 2'000'000'000;
    Store.Clock = [this] { return Now -= 100; }; // a clock going back
    for (const char* name : {"a", "b", "c"}) {
        Sub.Files.AddFile(kStartup + "\\" + name + ".lnk", name);
        const auto copy = Store.SaveFile(kStartup + "\\" + name + ".lnk", name);
        ASSERT_TRUE(copy.has_value());
        const std::vector<TDeletedEntry> kept = Store.List();
        EXPECT_TRUE(std::any_of(kept.begin(), kept.end(), [&](const TDeletedEntry& e) {
            return e.Id == copy->Id;
        })) << name;
    }
    EXPECT_EQ(Store.List().size(), 2u);
    for (const TDeletedEntry& entry : Store.List()) {
        Sub.Files.RemoveFile(kStore + "\\" + entry.Id + ".txt");
    }
    for (const char* name : {"a", "b", "c"}) {
        Sub.Files.RemoveFile(kStartup + "\\" + name + ".lnk");
    }

    // The registry refuses the delete of one subkey: the tree stays whole, and so no copy.
    PutTree(kHKeyCurrentUser, kUser);
    Sub.Registry.SetRefusesWrite(kHKeyCurrentUser, kUser + "\\Parts\\Deeper", true);
    TFileInfoManager info(Sub.Platform);
    TUninstallManager inventory(Sub.Platform, info);
    inventory.Refresh();
    EXPECT_THROW(inventory.DeleteEntry(inventory.Items.at(0).second.get()), ERightsError);
    EXPECT_TRUE(Store.List().empty());
    // A Run value the registry keeps: no copy either.
    TRegistry reg(Sub.Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    reg.OpenKey(kRunKey, true);
    reg.WriteString("Kept", "kept.exe");
    Sub.Registry.SetFault([](const std::string& op, const std::string&) { return op == "DeleteValue"; });
    TStartupManager startup(Sub.Platform, info);
    for (const auto& item : startup.GetItems(true)) {
        EXPECT_ANY_THROW(startup.DeleteStartupItem(*item));
    }
    Sub.Registry.SetFault(nullptr);
    EXPECT_TRUE(Store.List().empty());
}

// An entry Windows had switched off keeps that with it: its record goes
// with the entry and comes back from its own copy.
TEST_F(DeletedStoreTest, WindowsRecordOfADeletedStartupEntryComesBackToo) {
    const std::string approved = std::string(kStartupApprovedKey) + "\\Run";
    const TRegRawValue off{kRegBinary, {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}};
    TRegistry reg(Sub.Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    reg.OpenKey(kRunKey, true);
    reg.WriteString("Tool", "tool.exe");
    reg.OpenKey(approved, true);
    reg.WriteRaw("Tool", off);
    TFileInfoManager info(Sub.Platform);
    TStartupManager startup(Sub.Platform, info);
    for (const auto& item : startup.GetItems(true)) {
        startup.DeleteStartupItem(*item);
    }
    EXPECT_TRUE(KeyValues(Sub.Registry, kHKeyCurrentUser, approved).empty());
    const std::vector<TDeletedEntry> kept = Store.List();
    ASSERT_EQ(kept.size(), 2u);
    // The user chooses the entry; its record comes with it.
    std::vector<TDeletedEntry> chosen;
    std::copy_if(kept.begin(), kept.end(), std::back_inserter(chosen),
                 [](const TDeletedEntry& e) { return e.Name == "Tool"; });
    ASSERT_EQ(chosen.size(), 1u);
    const std::vector<TDeletedEntry> companions = CompanionsOf(chosen, kept);
    ASSERT_EQ(companions.size(), 1u);
    EXPECT_EQ(companions[0].Name, RecordCopyName("Tool"));
    EXPECT_TRUE(CompanionsOf(companions, kept).empty()) << "a record brings no entry with it";
    for (const TDeletedEntry& entry : {chosen[0], companions[0]}) {
        Store.Restore(entry, false);
    }
    EXPECT_EQ(KeyValues(Sub.Registry, kHKeyCurrentUser, approved), (TKeyValues{{"Tool", off}}));
    EXPECT_EQ(KeyValues(Sub.Registry, kHKeyCurrentUser, kRunKey),
              (TKeyValues{{"Tool", {kRegSz, RegStringData("tool.exe")}}}));
}

// A record names where its copy goes back; a place the program never
// deletes from is refused, whatever the record says.
TEST_F(DeletedStoreTest, ACopyGoesBackOnlyToAPlaceTheProgramDeletesFrom) {
    TRegistry reg(Sub.Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    reg.OpenKey("Software\\Other", true);
    reg.WriteString("Planted", "x");
    Store.SaveValue(kHKeyCurrentUser, kRegViewNative, "Software\\Other", "Planted", "Planted");
    Sub.Files.AddFile("C:\\Windows\\evil.dll", "x");
    Store.SaveFile("C:\\Windows\\evil.dll", "evil");
    PutTree(kHKeyCurrentUser, kUser + "\\Deeper");
    Store.SaveKey(kHKeyCurrentUser, kRegViewNative, kUser + "\\Deeper", "Deeper");
    reg.DeleteKey("Software");
    Sub.Files.RemoveFile("C:\\Windows\\evil.dll");
    const std::vector<TDeletedEntry> kept = Store.List();
    ASSERT_EQ(kept.size(), 3u);
    for (const TDeletedEntry& entry : kept) {
        EXPECT_THROW(Store.Restore(entry, true), EBackupError) << entry.Name;
    }
    EXPECT_FALSE(reg.KeyExists("Software"));
    EXPECT_FALSE(Sub.Files.FileExists("C:\\Windows\\evil.dll"));
}

TEST(ShortWhere, KeepsTheFirstPartAndTheLastTwo) {
    const struct {
        std::string Where;
        std::string Shown;
    } cases[] = {
        {"HKEY_CURRENT_USER\\Software\\Run", "HKEY_CURRENT_USER\\Software\\Run"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool",
         "HKEY_LOCAL_MACHINE\\...\\Uninstall\\Tool"},
        {"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
         "C:\\...\\Programs\\Startup"},
        {std::string(60, 'x'), std::string(60, 'x')},
        {"\\\\server\\share\\a\\very\\long\\folder\\name\\that\\goes\\on\\and\\on",
         "\\\\server\\share\\...\\and\\on"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortWhere(c.Where), c.Shown) << c.Where;
    }
}

} // namespace

} // namespace cv::test
