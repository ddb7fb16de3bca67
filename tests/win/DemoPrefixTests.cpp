// The demo machine, read back through the program: run only in a prefix
// that scripts/demo_prefix.py seeded (the test script sets
// CLEARVANE_DEMO_PREFIX for that run), and in this order, since the last
// tests uninstall demo applications for real.
#include "UninstallerPageFixture.h"

#include "startup/StartupManager.h"

#include "uninstaller/QuickEntryForm.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace cv::test {

namespace {

std::vector<std::vector<std::string>> DemoEntries() {
    std::string path = CLEARVANE_DEMO_MANIFEST;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    std::ifstream file("Z:" + path);
    std::vector<std::vector<std::string>> entries;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::stringstream in(line);
        for (std::string field; std::getline(in, field, '|');) {
            fields.push_back(field);
        }
        entries.push_back(fields);
    }
    return entries;
}

HKey RootOf(const std::string& root) {
    return root.starts_with("HKLM") ? kHKeyLocalMachine : kHKeyCurrentUser;
}

// The machine's 32-bit view is named with "32" at the end of its root or store.
bool In32BitView(const std::string& where) {
    return where.ends_with("32");
}

class DemoPrefix : public UninstallerPageTest {
protected:
    void SetUp() override {
        if (std::getenv("CLEARVANE_DEMO_PREFIX") == nullptr) {
            GTEST_SKIP() << "runs in a seeded demo prefix only";
        }
        Entries = DemoEntries();
        ASSERT_FALSE(Entries.empty());
        NeedsEmptyPrefix = false;
        UninstallerPageTest::SetUp();
    }
    const TUninstallItem* Find(const TUninstallManager& inventory, HKey root, const std::string& subkey,
                               bool wow = false) {
        for (const auto& [name, entry] : inventory.Items) {
            if (entry->RootKey == root && entry->KeyPath == std::string(kUninstallKey) + "\\" + subkey &&
                ((entry->View & kRegView32) != 0) == wow) {
                return entry.get();
            }
        }
        return nullptr;
    }
    std::vector<std::vector<std::string>> Entries;
};

} // namespace

TEST_F(DemoPrefix, EveryPromisedUninstallEntryIsThereAsPromised) {
    TUninstallManager inventory(Platform, Info);
    inventory.SetCheckFiles(true);
    inventory.Refresh();
    int applications = 0;
    int bad = 0;
    for (const auto& e : Entries) {
        if (e[0] == "startup") {
            continue;
        }
        SCOPED_TRACE(e[2]);
        const TUninstallItem* entry = Find(inventory, RootOf(e[1]), e[2], In32BitView(e[1]));
        ASSERT_NE(entry, nullptr) << "under " << e[1];
        if (e[0] == "hidden") {
            EXPECT_FALSE(entry->IsUninstallable()) << e[3];
            EXPECT_EQ(entry->DisplayName.empty(), e[3] == "NoName");
            continue;
        }
        ++applications;
        EXPECT_EQ(entry->DisplayName, e[2]);
        EXPECT_TRUE(entry->IsUninstallable());
        EXPECT_EQ(entry->Bad, e[0] != "app");
        bad += e[0] != "app" ? 1 : 0;
        if (e[0] == "app" || e[0] == "gone") {
            EXPECT_EQ(entry->DisplayVersion, e[3]);
            EXPECT_EQ(entry->Publisher, e[4]);
            EXPECT_EQ(Win32.Files.FileExists(entry->InstallLocation + "\\" + e[6]), e[0] == "app")
                << "installed by its installer";
            EXPECT_EQ(Win32.Files.FileExists(entry->GetExecutable()), e[0] == "app") << "and its uninstaller";
        }
        if (e[0] == "app") {
            EXPECT_NE(inventory.GetIconIndex(*entry), inventory.InstallIconIndex) << "its own icon";
        }
    }
    EXPECT_EQ(inventory.AppCount, applications);
    EXPECT_EQ(inventory.BadCount, bad);
}

TEST_F(DemoPrefix, EveryPromisedStartupEntryIsInItsStore) {
    TStartupManager startup(Platform, Info);
    const TStartupItems& items = startup.GetItems(true);
    const std::map<std::string, TRunFrom> stores = {{"AllUsersFolder", TRunFrom::rfAllUsersFolder},
                                                    {"CurrentUserFolder", TRunFrom::rfCurrentUserFolder},
                                                    {"AllUsersKey", TRunFrom::rfAllUsersKey},
                                                    {"AllUsersKey32", TRunFrom::rfAllUsersKey},
                                                    {"CurrentUserKey", TRunFrom::rfCurrentUserKey}};
    std::set<std::pair<TRunFrom, bool>> seen;
    for (const auto& e : Entries) {
        if (e[0] != "startup") {
            continue;
        }
        SCOPED_TRACE(e[2]);
        const auto it = std::find_if(items.begin(), items.end(), [&](const auto& item) {
            const auto* key = dynamic_cast<const TRegistryStartupItem*>(item.get());
            const bool wow = key != nullptr && (key->View & kRegView32) != 0;
            return item->DisplayName == e[2] && item->RunFrom == stores.at(e[1]) && wow == In32BitView(e[1]);
        });
        ASSERT_NE(it, items.end()) << e[1];
        EXPECT_EQ((*it)->Enabled, e[4] == "yes");
        EXPECT_EQ((*it)->OffInWindows, e[4] == "windows");
        // A key's entry names the program; a folder's entry is its shortcut.
        const std::string file = e[1].find("Key") != std::string::npos ? e[3] : e[2] + ".lnk";
        EXPECT_TRUE((*it)->FilePath.ends_with(file) || (*it)->FilePath.find(file + " ") != std::string::npos)
            << (*it)->FilePath;
        seen.insert({stores.at(e[1]), e[4] == "yes"});
    }
    EXPECT_EQ(seen.size(), 8u) << "all four stores, each enabled and disabled";
}

TEST_F(DemoPrefix, ADemoUninstallerRemovesItsFilesAndItsKeyForReal) {
    TUninstallManager inventory(Platform, Info);
    inventory.Refresh();
    const TUninstallItem* entry = Find(inventory, kHKeyCurrentUser, "Tune Box 5.0");
    ASSERT_NE(entry, nullptr);
    const std::string folder = entry->InstallLocation;
    ASSERT_TRUE(Win32.Files.FileExists(folder + "\\TuneBox.exe"));
    TUninstallItem silent = *entry;
    silent.UninstallString += " /S";
    inventory.RunUninstallerAndWait(silent); // the uninstaller hands over to a copy of itself
    EXPECT_FALSE(inventory.EntryExists(*entry));
    EXPECT_FALSE(Win32.Files.FileExists(folder + "\\TuneBox.exe"));
    EXPECT_FALSE(Win32.Files.DirectoryExists(folder));
}

// The whole road: the page, the user's answers, the installer's own uninstaller window.
TEST_F(DemoPrefix, UninstallingADemoApplicationFromThePageRemovesItEverywhere) {
    Open();
    const int before = List().Count();
    int index = -1;
    for (int i = 0; i < List().Count(); ++i) {
        if (List().ItemText(i) == "Quick Zip 9.2") {
            index = i;
        }
    }
    ASSERT_GE(index, 0);
    const std::string folder = Entry(index)->InstallLocation;
    List().SetSelected(index);
    List().SetFocus();
    Pump(20);
    std::vector<std::string> forms;
    TApplication::Instance().SetModalResponder([&](TModalInfo& info) {
        forms.push_back(info.ClassName);
        if (info.ClassName == "TConfirmForm") {
            return static_cast<int>(mrYes);
        }
        if (info.ClassName == "TWaitDialogForm") {
            // The user presses "Uninstall" in the uninstaller's window (titled after its
            // step: "…: Confirmation"), then closes ours.
            const ULONGLONG start = GetTickCount64();
            while (GetTickCount64() - start < 30000) {
                if (HWND window = FindTopWindow(L"Quick Zip 9.2 Uninstall"); window != nullptr) {
                    if (HWND button = GetDlgItem(window, 1); button != nullptr && IsWindowEnabled(button)) {
                        PostMessageW(button, BM_CLICK, 0, 0);
                    }
                }
                TRegistry reg(Win32.Registry);
                reg.SetRootKey(kHKeyLocalMachine);
                if (!reg.KeyExists(std::string(kUninstallKey) + "\\Quick Zip 9.2")) {
                    break;
                }
                Pump(200);
            }
            return static_cast<int>(mrOk);
        }
        return static_cast<int>(mrCancel);
    });
    Page().UninstallAction.Execute();
    EXPECT_EQ(forms, (std::vector<std::string>{"TConfirmForm", "TWaitDialogForm"}))
        << "no question: the key is gone";
    EXPECT_EQ(List().Count(), before - 1);
    for (int i = 0; i < List().Count(); ++i) {
        EXPECT_NE(List().ItemText(i), "Quick Zip 9.2");
    }
    const TUninstallManager& inventory = *Page().Inventory();
    EXPECT_EQ(inventory.AppCount, List().Count());
    EXPECT_EQ(StatusText(), "Total " + std::to_string(List().Count()) + " applications," +
                                std::to_string(inventory.BadCount) + " bad entries");
    EXPECT_TRUE(Until([&] { return !Win32.Files.FileExists(folder + "\\QuickZip.exe"); }));
    EXPECT_FALSE(Win32.Files.FileExists(folder + "\\uninstall.exe"));
}

// A file of a demo application dropped on the program's icon: its own
// uninstaller (which hands over to a copy of itself) runs to its end before
// the quick entry lets the program end.
TEST_F(DemoPrefix, TheQuickEntryUninstallsTheOwnerOfADroppedFileToTheEnd) {
    TUninstallManager inventory(Platform, Info);
    inventory.Refresh();
    const TUninstallItem* entry = Find(inventory, kHKeyLocalMachine, "Sky Weather 3.1");
    ASSERT_NE(entry, nullptr);
    const std::string folder = entry->InstallLocation;
    const TUninstallItem owner = *entry; // the quick entry reads the inventory again
    ASSERT_TRUE(Win32.Files.FileExists(folder + "\\SkyWeather.exe"));
    // The user presses "Uninstall" in the uninstaller's own window while the
    // quick entry waits.
    std::atomic<bool> waiting{true};
    std::thread user([&] {
        const ULONGLONG start = GetTickCount64();
        while (waiting && GetTickCount64() - start < 60000) {
            if (HWND window = FindTopWindow(L"Sky Weather 3.1 Uninstall"); window != nullptr) {
                if (HWND button = GetDlgItem(window, 1); button != nullptr && IsWindowEnabled(button)) {
                    PostMessageW(button, BM_CLICK, 0, 0);
                }
            }
            Sleep(200);
        }
    });
    std::vector<std::string> items;
    int result = -1;
    {
        TResponderScope scope([&](TModalInfo& info) {
            auto& form = dynamic_cast<TQuickEntryForm&>(*TWindow::FromHandle(info.Handle));
            items = form.RadioGroup.Items();
            form.OkButton.Click(); // the first choice: Uninstall
            return kRunModalLoop;
        });
        result = ShowQuickEntry(Platform, inventory, folder + "\\SkyWeather.exe");
    }
    waiting = false;
    user.join();
    EXPECT_EQ(result, kQuickEntryDone);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0], "Uninstall \"Sky Weather 3.1\"?");
    EXPECT_FALSE(inventory.EntryExists(owner)) << "returned before the uninstaller had ended";
    EXPECT_FALSE(Win32.Files.FileExists(folder + "\\SkyWeather.exe"));
}

} // namespace cv::test
