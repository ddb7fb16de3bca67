// Every writer of the model, failed at each of its changes in turn: what it
// leaves behind is always the old state or the new one, never a mixture.
#include "app/DeletedStore.h"
#include "app/IniFile.h"
#include "contract/KeyValues.h"
#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/Utf.h"
#include "platform/substitute/SubstitutePlatform.h"
#include "startup/StartupManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <source_location>

namespace cv::test {

namespace {

// Fails the Nth change it is asked about (counting from 1).
struct TNthFault {
    int N;
    int Seen = 0;
    bool Fired = false;
    bool operator()(const std::string&, const std::string&) {
        if (++Seen == N) {
            Fired = true;
            return true;
        }
        return false;
    }
};

// Runs action with the Nth change failing, for N = 1, 2, ... until a run goes
// through without reaching a failure; check sees the state after each run.
// Returns how many failure points there were. A walk that never reached one
// tested nothing, so it fails; failures name the walk's caller.
int WalkFailures(
    const std::function<void(std::function<bool(const std::string&, const std::string&)>)>& install,
    const std::function<void()>& setUp, const std::function<void()>& action,
    const std::function<void(int)>& check, std::source_location caller = std::source_location::current()) {
    const ::testing::ScopedTrace trace(caller.file_name(), static_cast<int>(caller.line()), "this walk");
    for (int n = 1;; ++n) {
        setUp();
        auto fault = std::make_shared<TNthFault>(TNthFault{n});
        install([fault](const std::string& op, const std::string& name) { return (*fault)(op, name); });
        try {
            action();
        } catch (const EClearvaneError&) {
        }
        install(nullptr);
        check(n);
        if (!fault->Fired) {
            EXPECT_GT(n - 1, 0) << "no change of the action was ever asked about";
            // How many points this walk failed, in the test's XML report.
            static int walks = 0;
            ::testing::Test::RecordProperty("walk_" + std::to_string(++walks) + "_at_line_" +
                                                std::to_string(caller.line()) + "_points",
                                            n - 1);
            return n - 1;
        }
    }
}

TEST(FaultInjection, RewritingValuesLeavesTheOldKeyOrTheNewOne) {
    const std::string path = std::string(kUninstallKey) + "\\App";
    const std::vector<std::string> lines{"DisplayName=New Name", "Size=9", "Extra=1", "=default"};
    TSubstitutePlatform sub;
    TUninstallItem item(sub.Platform);
    item.RootKey = kHKeyLocalMachine;
    item.KeyPath = path;
    auto setUp = [&] {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.DeleteKey(path);
        reg.OpenKey(path, true);
        reg.WriteString("DisplayName", "Old Name");
        reg.WriteInteger("Size", 5);
        reg.WriteExpandString("Icon", "%x%");
        reg.WriteBinaryData("Blob", "abc", 3);
    };
    setUp();
    const TKeyValues before = SortedByName(KeyValues(sub.Registry, kHKeyLocalMachine, path));
    item.WriteValues(lines);
    const TKeyValues after = SortedByName(KeyValues(sub.Registry, kHKeyLocalMachine, path));
    const int points =
        WalkFailures([&](auto f) { sub.Registry.SetFault(f); }, setUp, [&] { item.WriteValues(lines); },
                     [&](int n) {
                         // The same values, types and data; the order may differ.
                         const TKeyValues now =
                             SortedByName(KeyValues(sub.Registry, kHKeyLocalMachine, path));
                         EXPECT_TRUE(now == before || now == after) << "failing change " << n;
                     });
    EXPECT_EQ(points, 6); // four writes, then the two removed values' deletes
}

// A read the registry refuses part way through an entry: Refresh gives what
// the reads by name give under the same refusal, the enumeration's or one
// value's.
TEST(FaultInjection, ARefusedReadLeavesRefreshAsTheReadsByName) {
    struct TCase {
        std::string Operation;
        std::string Name;
    };
    const std::vector<TCase> cases{
        {"EnumValue", "Refused"}, {"QueryValue", "DisplayName"}, {"QueryValue", "UninstallString"},
        {"QueryValue", "Size"},   {"QueryValue", "NoModify"},    {"OpenKey", "Refused"},
    };
    for (const TCase& c : cases) {
        TSubstitutePlatform sub;
        for (const char* key : {"Before", "Refused"}) {
            TRegistry reg(sub.Registry);
            reg.SetRootKey(kHKeyCurrentUser);
            ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\" + key, true));
            reg.WriteString("DisplayName", key);
            reg.WriteString("UninstallString", "u.exe");
            reg.WriteInteger("Size", 5);
            reg.WriteInteger("NoModify", 1);
        }
        const std::string operation = c.Operation;
        const std::string target = c.Name;
        sub.Registry.SetReadFault([operation, target](const std::string& op, const std::string& name) {
            return op == operation && name.find(target) != std::string::npos;
        });
        TFileInfoManager info(sub.Platform);
        TUninstallManager manager(sub.Platform, info);
        manager.Refresh();
        ASSERT_EQ(manager.Items.size(), 2u) << c.Operation << " " << c.Name;
        for (const auto& pair : manager.Items) {
            const TUninstallItem& item = *pair.second;
            TUninstallItem named(sub.Platform);
            TRegistry reg(sub.Registry, kKeyRead);
            reg.SetRootKey(kHKeyCurrentUser);
            if (reg.OpenKey(item.KeyPath, false)) {
                ReadEntryByName(reg, &named);
            }
            const auto fields = [](const TUninstallItem& i) {
                return i.DisplayName + "|" + i.UninstallString + "|" + std::to_string(i.NoModify) + "|" +
                       std::to_string(i.ValuesStamp);
            };
            EXPECT_EQ(fields(item), fields(named)) << c.Operation << " " << c.Name << " " << item.KeyPath;
        }
    }
}

TEST(FaultInjection, SavedFilesAreTheOldOrTheNewNeverHalf) {
    TSubstitutePlatform sub;
    sub.Files.AddFolder("C:\\Program Files\\Clearvane");
    sub.Shell.SetProgramPath("C:\\Program Files\\Clearvane\\clearvane.exe");
    TFileInfoManager info(sub.Platform);
    TUninstallManager manager(sub.Platform, info);
    {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(std::string(kUninstallKey) + "\\A", true);
        reg.WriteString("DisplayName", "Fresh App");
    }
    manager.Refresh();
    const std::string names = "C:\\lastuninstall.dat";
    const std::string ini = "C:\\Program Files\\Clearvane\\qxuninstaller.ini";
    struct TCase {
        std::string File;
        std::string Old;
        std::function<void()> Save;
        std::string New;
    };
    const TCase cases[] = {
        {names, "Old App\r\n", [&] { manager.SaveNames(names); }, "Fresh App\r\n"},
        {ini, "[Clearvane]\r\nViewStyle=1\r\n",
         [&] {
             TIniFile file(sub.Platform, ini);
             file.WriteInteger("Clearvane", "ViewStyle", 3);
             file.UpdateFile();
         },
         "[Clearvane]\r\nViewStyle=3\r\n"},
    };
    for (const TCase& c : cases) {
        const int points = WalkFailures(
            [&](auto f) { sub.Files.SetFault(f); }, [&] { sub.Files.AddFile(c.File, c.Old); }, c.Save,
            [&](int n) {
                std::string text;
                ASSERT_TRUE(sub.Files.ReadFile(c.File, &text)) << c.File << n;
                EXPECT_TRUE(text == c.Old || text == c.New) << c.File << " " << n;
                EXPECT_FALSE(sub.Files.FileExists(c.File + ".new")) << c.File << n;
            });
        EXPECT_GE(points, 2) << c.File; // the write and the rename
    }
}

TEST(FaultInjection, DeletingEntriesKeepsTheInventoryConsistent) {
    TSubstitutePlatform sub;
    TFileInfoManager info(sub.Platform);
    TUninstallManager manager(sub.Platform, info);
    auto setUp = [&] {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        for (const char* name : {"Bad", "Good"}) {
            reg.OpenKey(std::string(kUninstallKey) + "\\" + name + "\\Sub\\Deeper", true);
            reg.OpenKey(std::string(kUninstallKey) + "\\" + name, true);
            reg.WriteString("DisplayName", name);
            reg.WriteString("UninstallString", "C:\\gone.exe");
        }
        manager.SetCheckFiles(true);
        manager.Refresh();
    };
    WalkFailures(
        [&](auto f) { sub.Registry.SetFault(f); }, setUp,
        [&] { manager.DeleteEntry(manager.Items[0].second.get()); },
        [&](int n) {
            int apps = 0;
            for (const auto& pair : manager.Items) {
                apps += pair.second->IsUninstallable() ? 1 : 0;
            }
            EXPECT_EQ(manager.AppCount, apps) << n;
            EXPECT_EQ(manager.BadCount, static_cast<int>(manager.BadItems.size())) << n;
            for (const auto& bad : manager.BadItems) {
                EXPECT_TRUE(std::any_of(manager.Items.begin(), manager.Items.end(), [&](const auto& p) {
                    return p.second.get() == bad.second;
                })) << n;
            }
            // Listed exactly while its key stands.
            TRegistry reg(sub.Registry, kKeyRead);
            reg.SetRootKey(kHKeyCurrentUser);
            const bool stands = reg.KeyExists(std::string(kUninstallKey) + "\\Bad");
            EXPECT_EQ(manager.Items.size(), stands ? 2u : 1u) << n;
        });
}

// Two uninstall entries with values of several types and subkeys; the
// store of deleted entries emptied.
class DeleteFaults : public ::testing::Test {
protected:
    void Reset() {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        for (const std::string& path : {kTool, kBeside}) {
            reg.DeleteKey(path);
            reg.OpenKey(path + "\\Parts\\Deeper", true);
            reg.WriteRaw("Blob", {kRegBinary, {1, 2, 3}});
            reg.OpenKey(path, true);
            reg.WriteString("DisplayName", path.substr(path.rfind('\\') + 1));
            reg.WriteExpandString("UninstallString", "%x%\\gone.exe");
            reg.WriteInteger("NoModify", 1);
        }
        const std::string store = TDeletedStore::DefaultFolder(Sub.Platform);
        for (const TFoundFile& found : Sub.Files.FindFiles(store, "*")) {
            Sub.Files.RemoveFile(store + "\\" + found.Name);
        }
    }
    TKeyTree Tree(const std::string& path) { return KeyTree(Sub.Registry, kHKeyCurrentUser, path); }
    // Failing the changes (of the registry and the files), then the reads.
    std::vector<std::function<void(TSubstituteRegistry::TFault)>> Installers() {
        return {[this](TSubstituteRegistry::TFault f) {
                    Sub.Registry.SetFault(f);
                    Sub.Files.SetFault(f);
                },
                [this](TSubstituteRegistry::TFault f) { Sub.Registry.SetReadFault(f); }};
    }
    void DeleteTool() {
        Manager.Refresh();
        for (const auto& [name, item] : Manager.Items) {
            if (name == "Tool") {
                Manager.DeleteEntry(item.get());
                return;
            }
        }
    }
    void SetUp() override {
        Reset();
        Tool = Tree(kTool);
        Beside = Tree(kBeside);
    }
    // The keys beside the entry never change; the entry is whole, or the one
    // copy kept of it puts it back whole.
    void CheckWholeOrKept(int n) {
        EXPECT_EQ(Tree(kBeside), Beside) << "failing point " << n;
        if (Tree(kTool) == Tool) {
            return;
        }
        TDeletedStore store(Sub.Platform);
        const std::vector<TDeletedEntry> kept = store.List();
        ASSERT_FALSE(kept.empty()) << "the entry changed and no copy was kept, failing point " << n;
        EXPECT_NO_THROW(store.Restore(kept.back(), true)) << n;
        EXPECT_EQ(Tree(kTool), Tool) << "failing point " << n;
    }

    const std::string kTool = std::string(kUninstallKey) + "\\Tool";
    const std::string kBeside = std::string(kUninstallKey) + "\\Tool Two";
    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    TUninstallManager Manager{Sub.Platform, Info};
    TKeyTree Tool;
    TKeyTree Beside;
};

TEST_F(DeleteFaults, ADeleteFailedAtAnyPointLeavesTheEntryWholeOrACopyThatPutsItBack) {
    for (const auto& install : Installers()) {
        WalkFailures(
            install, [&] { Reset(); }, [&] { DeleteTool(); }, [&](int n) { CheckWholeOrKept(n); });
    }
}

TEST_F(DeleteFaults, ARestoreFailedAtAnyPointKeepsItsCopyAndCanBeDoneAgain) {
    for (const bool reinstalled : {false, true}) {
        for (const auto& install : Installers()) {
            WalkFailures(
                install,
                [&] {
                    Reset();
                    DeleteTool();
                    if (reinstalled) {
                        TRegistry reg(Sub.Registry);
                        reg.SetRootKey(kHKeyCurrentUser);
                        reg.OpenKey(kTool, true);
                        reg.WriteString("DisplayName", "Tool 2");
                    }
                },
                [&] {
                    TDeletedStore store(Sub.Platform);
                    store.Restore(store.List().at(0), true);
                },
                [&](int n) {
                    // The oldest copy is the entry's own: a failed restore
                    // leaves it, and it puts the entry back whole.
                    CheckWholeOrKept(n);
                });
        }
    }
}

class StartupFaults : public ::testing::Test {
protected:
    StartupFaults() {
        Sub.Shell.SetSpecialFolder(kCsidlStartup, kFolder);
        Sub.Shell.SetSpecialFolder(kCsidlCommonStartup, "C:\\Common\\Startup");
        Sub.Files.AddFolder("C:\\Common\\Startup");
    }

    static constexpr const char* kFolder = "C:\\Me\\Startup";
    static constexpr const char* kDisabled = "C:\\Me\\Disabled Startup";

    // Where "Tool" stands: "R" for Run, "H" for Run_Hidden, "S" and "D" for
    // the folders; "?" after a letter when its type or data is not what was put there.
    std::string Where() {
        std::string where;
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        const TRegRawValue tool{kRegExpandSz, RegStringData("%x%\\tool.exe")};
        for (const auto& [key, letter] : {std::pair{kRunKey, "R"}, std::pair{kRunHiddenKey, "H"}}) {
            TRegRawValue value;
            if (reg.OpenKeyReadOnly(key) && reg.ReadRaw("Tool", &value)) {
                where += letter + std::string(value == tool ? "" : "?");
            }
        }
        for (const auto& [folder, letter] : {std::pair{kFolder, "S"}, std::pair{kDisabled, "D"}}) {
            const std::string path = std::string(folder) + "\\Tool.lnk";
            std::string text;
            if (Sub.Files.ReadFile(path, &text)) {
                // The file put there, or a whole new shortcut to the program.
                const bool whole = text == "link" || Sub.Shell.ResolveShortcut(path) == "C:\\tool.exe";
                where += letter + std::string(whole ? "" : "?");
            }
        }
        return where;
    }

    // "Tool" as read from the stores, or the first entry when there is none yet.
    TStartupItem& Tool() {
        for (const auto& item : Manager.GetItems(true)) {
            if (item->DisplayName == "Tool") {
                return *item;
            }
        }
        if (Manager.Items.empty()) {
            throw std::runtime_error("no entries");
        }
        return *Manager.Items.front();
    }

    void Walk(const std::function<void()>& setUp, const std::function<void(TStartupItem&)>& action,
              const std::vector<std::string>& allowed,
              std::source_location caller = std::source_location::current()) {
        TStartupItem* item = nullptr;
        WalkFailures(
            [&](auto f) {
                Sub.Registry.SetFault(f);
                Sub.Files.SetFault(f);
            },
            [&] {
                setUp();
                item = &Tool();
            },
            [&] { action(*item); },
            [&](int n) {
                const std::string where = Where();
                EXPECT_NE(std::find(allowed.begin(), allowed.end(), where), allowed.end())
                    << "failing change " << n << " left the entry at '" << where << "'";
            },
            caller);
    }

    void Reset() {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        for (const char* key : {kRunKey, kRunHiddenKey}) {
            if (reg.OpenKey(key, false)) {
                reg.DeleteValue("Tool");
            }
        }
        Sub.Files.RemoveFile(std::string(kFolder) + "\\Tool.lnk");
        Sub.Files.RemoveFile(std::string(kDisabled) + "\\Tool.lnk");
        Sub.Files.RemoveEmptyDirectory(kDisabled);
        Sub.Files.AddFolder(kFolder);
    }

    void Put(const char* key) {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(key, true);
        reg.WriteExpandString("Tool", "%x%\\tool.exe");
    }

    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    TStartupManager Manager{Sub.Platform, Info};
};

TEST_F(StartupFaults, RegistryEntriesAreNeverLostNorDoubled) {
    Walk([&] { Reset(), Put(kRunKey); }, [](TStartupItem& t) { t.Hide(); }, {"R", "H"});
    Walk([&] { Reset(), Put(kRunHiddenKey); }, [](TStartupItem& t) { t.Show(); }, {"R", "H"});
    Walk([&] { Reset(), Put(kRunHiddenKey); }, [](TStartupItem& t) { t.Enabled = true, t.ApplyState(); },
         {"R", "H"});
    Walk([&] { Reset(), Put(kRunKey); }, [](TStartupItem& t) { t.Delete(); }, {"R", ""});
    // Nothing to change, so nothing to fail: an entry applied where it
    // stands, and a move onto a twin of the same name, which is refused.
    Reset(), Put(kRunKey), Put(kRunHiddenKey);
    int changes = 0;
    Sub.Registry.SetFault([&](const std::string&, const std::string&) { return ++changes, false; });
    for (const auto& item : Manager.GetItems(true)) {
        item->ApplyState();
        if (item->Enabled) {
            EXPECT_THROW(item->Hide(), EStartupError);
        } else {
            EXPECT_THROW(item->Show(), EStartupError);
        }
    }
    Sub.Registry.SetFault(nullptr);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(Where(), "RH");
}

TEST_F(StartupFaults, FolderEntriesAreNeverLostNorDoubled) {
    auto inFolder = [&] {
        Reset();
        Sub.Files.AddFile(std::string(kFolder) + "\\Tool.lnk", "link");
    };
    auto parked = [&] {
        Reset();
        Sub.Files.AddFile(std::string(kDisabled) + "\\Tool.lnk", "link");
    };
    Walk(inFolder, [](TStartupItem& t) { t.Hide(); }, {"S", "D"});
    Walk(parked, [](TStartupItem& t) { t.Show(); }, {"S", "D"});
    Walk(parked, [](TStartupItem& t) { t.Enabled = true, t.ApplyState(); }, {"S", "D"});
    Walk(inFolder, [](TStartupItem& t) { t.Delete(); }, {"S", ""});
    Walk(
        [&] { Reset(), Sub.Files.AddFile("C:\\Me\\Startup\\Other.lnk", "x"); },
        [&](TStartupItem&) { Manager.AddStartupItem("Tool", "C:\\tool.exe", TRunFrom::rfCurrentUserFolder); },
        {"", "S"});
}

} // namespace

} // namespace cv::test
