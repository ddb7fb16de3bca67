// Startup entries hidden, shown, deleted and saved: on the substitute, and
// under Wine on the real Run keys and Startup folders with real shortcuts.
#include "contract/ContractEnv.h"

#include "platform/PathText.h"
#include "platform/TextCase.h"
#include "startup/StartupManager.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class StartupContract : public ::testing::Test {
protected:
    void SetUp() override {
        Env = MakeContractEnv();
        Info = std::make_unique<TFileInfoManager>(P());
        Manager = std::make_unique<TStartupManager>(P(), *Info);
        Tag = "cvtest " + Env->ScratchKey().substr(Env->ScratchKey().rfind('\\') + 1) + " ";
        for (TRunFrom store : {TRunFrom::rfCurrentUserFolder, TRunFrom::rfAllUsersFolder}) {
            const std::string folder = StartupFolderOf(P(), store);
            ASSERT_FALSE(folder.empty());
            if (!P().Files.DirectoryExists(folder)) {
                P().Files.MakeDirectory(folder);
            }
        }
        Program = Env->ScratchFolder() + "\\Startup Tool.exe";
        ASSERT_TRUE(P().Files.WriteFile(Program, "MZ"));
    }

    void TearDown() override {
        for (auto& item : Manager->GetItems(true)) {
            if (item->DisplayName.rfind(Tag, 0) == 0) {
                item->Delete();
            }
        }
        for (TRunFrom store : {TRunFrom::rfCurrentUserFolder, TRunFrom::rfAllUsersFolder}) {
            P().Files.RemoveEmptyDirectory(DisabledFolderOf(StartupFolderOf(P(), store)));
        }
    }

    TPlatform& P() { return Env->Platform(); }

    // Our entries as "store:name:enabled", in reading order.
    std::vector<std::string> Ours() {
        std::vector<std::string> out;
        for (const auto& item : Manager->GetItems(true)) {
            if (item->DisplayName.rfind(Tag, 0) == 0) {
                out.push_back(std::to_string(static_cast<int>(item->RunFrom)) + ":" +
                              item->DisplayName.substr(Tag.size()) + ":" + (item->Enabled ? "on" : "off"));
            }
        }
        return out;
    }

    TStartupItem* Find(const std::string& name, TRunFrom store, bool enabled) {
        for (const auto& item : Manager->GetItems(true)) {
            if (item->DisplayName == Tag + name && item->RunFrom == store && item->Enabled == enabled) {
                return item.get();
            }
        }
        return nullptr;
    }

    std::unique_ptr<TContractEnv> Env;
    std::unique_ptr<TFileInfoManager> Info;
    std::unique_ptr<TStartupManager> Manager;
    std::string Tag;
    std::string Program;
};

TEST_F(StartupContract, EntriesOfEveryStoreSaveHideShowAndDelete) {
    const std::string command = "\"" + Program + "\" /background";
    Manager->AddStartupItem(Tag + "Machine", command, TRunFrom::rfAllUsersKey);
    Manager->AddStartupItem(Tag + "User", command, TRunFrom::rfCurrentUserKey);
    Manager->AddStartupItem(Tag + "Mine 2.0", Program, TRunFrom::rfCurrentUserFolder);
    Manager->AddStartupItem(Tag + "Everyone", Program, TRunFrom::rfAllUsersFolder);
    EXPECT_EQ(Ours(),
              (std::vector<std::string>{"2:Machine:on", "3:User:on", "1:Mine 2:on", "0:Everyone:on"}));

    TStartupItem* user = Find("User", TRunFrom::rfCurrentUserKey, true);
    ASSERT_NE(user, nullptr);
    EXPECT_TRUE(SameText(user->FilePath, Program)) << user->FilePath;
    EXPECT_EQ(user->Command, command);
    TStartupItem* mine = Find("Mine 2", TRunFrom::rfCurrentUserFolder, true);
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->Command, Tag + "Mine 2.lnk");
    EXPECT_TRUE(SameText(P().Shell.ResolveShortcut(mine->FilePath), Program));

    for (auto [name, store] :
         {std::pair{"Machine", TRunFrom::rfAllUsersKey}, std::pair{"User", TRunFrom::rfCurrentUserKey},
          std::pair{"Mine 2", TRunFrom::rfCurrentUserFolder},
          std::pair{"Everyone", TRunFrom::rfAllUsersFolder}}) {
        TStartupItem* item = Find(name, store, true);
        ASSERT_NE(item, nullptr) << name;
        Manager->HideStartupItem(*item);
    }
    EXPECT_EQ(Ours(),
              (std::vector<std::string>{"2:Machine:off", "3:User:off", "1:Mine 2:off", "0:Everyone:off"}));
    EXPECT_TRUE(
        P().Files.DirectoryExists(DisabledFolderOf(StartupFolderOf(P(), TRunFrom::rfCurrentUserFolder))));

    TStartupItem* hidden = Find("Mine 2", TRunFrom::rfCurrentUserFolder, false);
    ASSERT_NE(hidden, nullptr);
    Manager->ShowStartupItem(*hidden);
    hidden = Find("User", TRunFrom::rfCurrentUserKey, false);
    ASSERT_NE(hidden, nullptr);
    hidden->Enabled = true;
    hidden->ApplyState();
    EXPECT_EQ(Ours(),
              (std::vector<std::string>{"2:Machine:off", "3:User:on", "1:Mine 2:on", "0:Everyone:off"}));
    // The last entry out of a disabled folder takes the folder with it.
    EXPECT_FALSE(
        P().Files.DirectoryExists(DisabledFolderOf(StartupFolderOf(P(), TRunFrom::rfCurrentUserFolder))));

    for (auto [name, store, enabled] : {std::tuple{"Machine", TRunFrom::rfAllUsersKey, false},
                                        std::tuple{"User", TRunFrom::rfCurrentUserKey, true},
                                        std::tuple{"Mine 2", TRunFrom::rfCurrentUserFolder, true},
                                        std::tuple{"Everyone", TRunFrom::rfAllUsersFolder, false}}) {
        TStartupItem* item = Find(name, store, enabled);
        ASSERT_NE(item, nullptr) << name;
        Manager->DeleteStartupItem(*item);
    }
    EXPECT_TRUE(Ours().empty());
    // Deleting touches only the file: the emptied disabled folder stays until a hide or show tidies it.
    EXPECT_TRUE(
        P().Files.DirectoryExists(DisabledFolderOf(StartupFolderOf(P(), TRunFrom::rfAllUsersFolder))));
}

TEST_F(StartupContract, A32BitViewRunEntryIsHiddenShownAndDeletedInItsView) {
    if (!P().Registry.HasTwoViews()) {
        GTEST_SKIP() << "one registry view";
    }
    auto command = [&](TRegView view, const char* key) {
        TRegistry reg(P().Registry, kKeyRead);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.SetView(view);
        return reg.OpenKey(key, false) && reg.ValueExists(Tag + "Tray") ? reg.ReadString(Tag + "Tray")
                                                                        : std::string("<none>");
    };
    for (const auto& [view, text] : {std::pair{kRegView64, "64"}, std::pair{kRegView32, "32"}}) {
        TRegistry reg(P().Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.SetView(view);
        ASSERT_TRUE(reg.OpenKey(kRunKey, true));
        reg.WriteString(Tag + "Tray", std::string("tray") + text + ".exe");
    }
    auto find32 = [&](bool enabled) -> TRegistryStartupItem* {
        for (const auto& item : Manager->GetItems(true)) {
            auto* entry = dynamic_cast<TRegistryStartupItem*>(item.get());
            if (entry != nullptr && entry->DisplayName == Tag + "Tray" && entry->View == kRegView32 &&
                entry->Enabled == enabled) {
                return entry;
            }
        }
        return nullptr;
    };
    // Listed twice: once in each view, the 32-bit one after the 64-bit one.
    EXPECT_EQ(Ours(), (std::vector<std::string>{"2:Tray:on", "2:Tray:on"}));
    TRegistryStartupItem* entry = find32(true);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Command, "tray32.exe");
    EXPECT_EQ(entry->KeyText(),
              "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");

    entry->Hide();
    EXPECT_EQ(command(kRegView32, kRunHiddenKey), "tray32.exe");
    EXPECT_EQ(command(kRegView32, kRunKey), "<none>");
    EXPECT_EQ(command(kRegView64, kRunKey), "tray64.exe");
    EXPECT_EQ(command(kRegView64, kRunHiddenKey), "<none>");
    entry = find32(false);
    ASSERT_NE(entry, nullptr);
    entry->Show();
    EXPECT_EQ(command(kRegView32, kRunKey), "tray32.exe");
    EXPECT_EQ(command(kRegView32, kRunHiddenKey), "<none>");
    entry = find32(true);
    ASSERT_NE(entry, nullptr);
    entry->Delete();
    EXPECT_EQ(command(kRegView32, kRunKey), "<none>");
    EXPECT_EQ(command(kRegView64, kRunKey), "tray64.exe");
}

TEST_F(StartupContract, HidingAndShowingKeepsAnExpandableCommandExpandable) {
    TRegistry reg(P().Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey(kRunKey, true));
    reg.WriteExpandString(Tag + "Sidebar", "%ProgramFiles%\\Sidebar\\sidebar.exe /autoRun");
    reg.CloseKey();
    TStartupItem* item = Find("Sidebar", TRunFrom::rfCurrentUserKey, true);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Command, "%ProgramFiles%\\Sidebar\\sidebar.exe /autoRun");
    item->Hide();
    item = Find("Sidebar", TRunFrom::rfCurrentUserKey, false);
    ASSERT_NE(item, nullptr);
    item->Show();
    item->Enabled = true;
    item->ApplyState(); // already where it should be: written again in place
    ASSERT_TRUE(reg.OpenKey(kRunKey, false));
    TRegDataInfo info;
    ASSERT_TRUE(reg.GetDataInfo(Tag + "Sidebar", &info));
    EXPECT_EQ(info.Type, static_cast<std::uint32_t>(kRegExpandSz));
    EXPECT_EQ(reg.ReadString(Tag + "Sidebar"), "%ProgramFiles%\\Sidebar\\sidebar.exe /autoRun");
}

} // namespace

} // namespace cv::test
