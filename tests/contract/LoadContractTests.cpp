// The model under load, on the substitute (also under the sanitizers) and on
// the real registry and files under Wine: ten thousand uninstall entries,
// values of every type and size, names the registry barely allows, paths
// past 260 characters, and a thousand startup entries in all eight stores.
#include "contract/ContractEnv.h"

#include "inventory/UninstallManager.h"
#include "platform/PathText.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/Utf.h"
#include "startup/StartupManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace cv::test {

namespace {

class LoadContract : public ::testing::Test {
protected:
    void SetUp() override {
        Env = MakeContractEnv();
        Info = std::make_unique<TFileInfoManager>(P());
        Tag = "cvload " + Env->ScratchKey().substr(Env->ScratchKey().rfind('\\') + 1) + " ";
    }

    void TearDown() override {
        if (Cleanup) {
            Cleanup();
        }
        for (const auto& [root, path] : Made) {
            TRegistry reg(P().Registry);
            reg.SetRootKey(root);
            reg.DeleteKey(path);
        }
    }

    TPlatform& P() { return Env->Platform(); }

    std::string Entry(HKey root, const std::string& name) {
        const std::string path = std::string(kUninstallKey) + "\\" + Tag + name;
        Made.emplace_back(root, path);
        return path;
    }

    std::unique_ptr<TContractEnv> Env;
    std::unique_ptr<TFileInfoManager> Info;
    std::string Tag;
    std::vector<std::pair<HKey, std::string>> Made;
    std::function<void()> Cleanup; // runs even when a test stops half-way
    std::vector<std::string> Folders;
};

TEST_F(LoadContract, TenThousandEntriesWithExtremeValuesReadWhole) {
    // A folder deeper than 260 characters holding the application.
    std::string deep = Env->ScratchFolder();
    while (deep.size() < 300) {
        deep += "\\" + std::string(40, 'd');
        ASSERT_TRUE(P().Files.MakeDirectory(deep));
    }
    const std::string program = deep + "\\Deep Application.exe";
    ASSERT_TRUE(P().Files.WriteFile(program, "MZ"));

    constexpr int kCount = 10000;
    {
        TRegistry reg(P().Registry);
        for (int i = 0; i < kCount; ++i) {
            reg.SetRootKey(i % 2 == 0 ? kHKeyLocalMachine : kHKeyCurrentUser);
            ASSERT_TRUE(reg.OpenKey(Entry(reg.RootKey(), std::to_string(i)), true));
            reg.WriteString("DisplayName", Tag + std::to_string(i));
            reg.WriteString("UninstallString", "\"C:\\Gone\\" + std::to_string(i) + "\\uninst.exe\" /S");
            if (i % 3 == 0) {
                reg.WriteInteger("NoModify", 1);
            }
        }
    }
    const std::string heavy = Entry(kHKeyCurrentUser, "heavy");
    const std::string longName(16383, 'N');
    const std::string megabyteText(1 << 20, 'x');
    const std::vector<std::uint8_t> megabyteBlob(1 << 20, 0x5A);
    const std::vector<std::uint8_t> embeddedNul = RegStringData(std::string("before\0after", 12));
    {
        TRegistry reg(P().Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(heavy, true));
        reg.WriteString("DisplayName", Tag + "heavy");
        reg.WriteString("UninstallString", "\"" + program + "\" /uninstall");
        reg.WriteString("InstallLocation", deep);
        reg.WriteString("DisplayIcon", program + ",0");
        reg.WriteString(longName, "long name");
        reg.WriteString("Megabyte", megabyteText);
        reg.WriteBinaryData("MegaBlob", megabyteBlob.data(), megabyteBlob.size());
        reg.WriteRaw("Embedded", {kRegSz, embeddedNul});
        reg.WriteRaw("Multi", {kRegMultiSz, RegStringData(std::string("a\0b\0", 4))});
        reg.WriteRaw("Qword", {kRegQword, {1, 0, 0, 0, 0, 0, 0, 1}});
        reg.WriteRaw("Nothing", {kRegNone, {}});
        reg.WriteString("Bad \xFF\xFE UTF-8", "name");
    }

    TUninstallManager manager(P(), *Info);
    manager.SetCheckFiles(true);
    manager.Refresh();
    int ours = 0;
    TUninstallItem* heavyItem = nullptr;
    for (const auto& [name, item] : manager.Items) {
        if (name.rfind(Tag, 0) == 0) {
            ++ours;
            if (name == Tag + "heavy") {
                heavyItem = item.get();
            }
        }
    }
    EXPECT_EQ(ours, kCount + 1);
    ASSERT_NE(heavyItem, nullptr);
    EXPECT_FALSE(heavyItem->Bad);
    EXPECT_EQ(heavyItem->InstallLocation, deep);
    EXPECT_EQ(heavyItem->GetInstallDir(), deep);
    EXPECT_EQ(heavyItem->GetExecutable(), program);
    EXPECT_EQ(manager.GetApplicationFile(*heavyItem), program);
    EXPECT_GE(manager.GetIconIndex(*heavyItem), 0);
    // Every application of ours whose files are gone is bad: two in three.
    int bad = 0;
    for (const auto& [name, item] : manager.BadItems) {
        bad += name.rfind(Tag, 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(bad, kCount - (kCount + 2) / 3);

    const std::vector<std::string> lines = heavyItem->ReadValues();
    auto line = [&](const std::string& name) {
        for (const std::string& l : lines) {
            if (l.rfind(name + "=", 0) == 0) {
                return l.substr(name.size() + 1);
            }
        }
        return std::string("<missing>");
    };
    EXPECT_EQ(line(longName), "long name");
    EXPECT_EQ(line("Megabyte").size(), megabyteText.size());
    EXPECT_EQ(line("MegaBlob"), std::to_string(megabyteBlob.size()));
    EXPECT_EQ(line("Embedded"), "before");
    EXPECT_EQ(line("Bad \xEF\xBF\xBD\xEF\xBF\xBD UTF-8"), "name");

    std::vector<std::pair<std::string, TRegRawValue>> before;
    {
        TRegistry reg(P().Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(heavy, false));
        for (const std::string& name : reg.GetValueNames()) {
            TRegRawValue value;
            reg.ReadRaw(name, &value);
            before.emplace_back(name, value);
        }
    }
    heavyItem->WriteValues(lines);
    TRegistry reg(P().Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey(heavy, false));
    for (const auto& [name, value] : before) {
        TRegRawValue now;
        ASSERT_TRUE(reg.ReadRaw(name, &now)) << name.substr(0, 40);
        EXPECT_TRUE(now == value) << name.substr(0, 40);
    }
}

TEST_F(LoadContract, AThousandStartupEntriesInAllEightStores) {
    TRegistry reg(P().Registry);
    constexpr int kPerStore = 125;
    Cleanup = [this] {
        TStartupManager manager(P(), *Info);
        try {
            manager.GetItems(true);
        } catch (const std::exception&) {
        }
        for (const auto& item : manager.Items) {
            if (item->DisplayName.rfind(Tag, 0) == 0) {
                item->Delete();
            }
        }
        for (std::size_t i = 1; i < Folders.size(); i += 2) {
            P().Files.RemoveEmptyDirectory(Folders[i]); // the disabled folders only: the Startup folders stay
        }
    };
    for (HKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
        reg.SetRootKey(root);
        for (const char* key : {kRunKey, kRunHiddenKey}) {
            ASSERT_TRUE(reg.OpenKey(key, true));
            for (int i = 0; i < kPerStore; ++i) {
                const std::string name = Tag + std::to_string(i);
                if (i % 2 == 0) {
                    reg.WriteExpandString(name,
                                          "%SystemRoot%\\system32\\cmd.exe /c rem " + std::string(300, 'a'));
                } else {
                    reg.WriteString(name,
                                    "\"" + Env->ScratchFolder() + "\\tool " + std::to_string(i) + ".exe\"");
                }
            }
        }
    }
    for (TRunFrom store : {TRunFrom::rfCurrentUserFolder, TRunFrom::rfAllUsersFolder}) {
        const std::string folder = StartupFolderOf(P(), store);
        ASSERT_FALSE(folder.empty());
        P().Files.MakeDirectory(folder);
        Folders.push_back(folder);
        Folders.push_back(DisabledFolderOf(folder));
        P().Files.MakeDirectory(Folders.back());
    }
    for (const std::string& folder : Folders) {
        for (int i = 0; i < kPerStore; ++i) {
            ASSERT_TRUE(P().Files.WriteFile(folder + "\\" + Tag + std::to_string(i) + ".lnk", "x"));
        }
    }

    TStartupManager manager(P(), *Info);
    std::map<std::string, int> perStore;
    for (const auto& item : manager.GetItems(true)) {
        if (item->DisplayName.rfind(Tag, 0) == 0) {
            ++perStore[std::to_string(static_cast<int>(item->RunFrom)) + (item->Enabled ? "+" : "-")];
            EXPECT_EQ(item->Command.find(std::string(300, 'a')) == std::string::npos,
                      item->Command.find("cmd.exe") == std::string::npos);
        }
    }
    const std::map<std::string, int> expected{{"0+", kPerStore}, {"0-", kPerStore}, {"1+", kPerStore},
                                              {"1-", kPerStore}, {"2+", kPerStore}, {"2-", kPerStore},
                                              {"3+", kPerStore}, {"3-", kPerStore}};
    EXPECT_EQ(perStore, expected);

    Cleanup();
    Cleanup = nullptr;
    for (HKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
        reg.SetRootKey(root);
        for (const char* key : {kRunKey, kRunHiddenKey}) {
            ASSERT_TRUE(reg.OpenKey(key, false));
            for (const std::string& name : reg.GetValueNames()) {
                EXPECT_NE(name.rfind(Tag, 0), 0u) << name;
            }
        }
    }
}

} // namespace

} // namespace cv::test
