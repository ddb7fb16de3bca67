// Clearvane's own installer under Wine: it installs the program, its help
// and a Start menu shortcut, registers the uninstall entry the program then
// lists, and its uninstaller takes all of it away. It adds an entry of its
// own, so the test script runs it on its own (CLEARVANE_INSTALLER_TEST),
// after the tests that count the entries of their prefix.
#include "UiHarness.h"
#include "inventory/UninstallManager.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>
// windows.h first
#include <shlobj.h>

#include "resources/Version.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace cv::test {

TEST(ClearvaneInstaller, InstallsListsItselfAndUninstallsCompletely) {
    if (std::getenv("CLEARVANE_INSTALLER_TEST") == nullptr) {
        GTEST_SKIP() << "runs on its own in the test script";
    }
    TWin32Platform win;
    TPlatform& p = win.Platform;
    const std::string tests = TestFolder();
    const std::string setup = tests.substr(0, tests.find_last_of('\\')) + "\\clearvane-setup.exe";
    ASSERT_TRUE(p.Files.FileExists(setup)) << setup;

    auto installed = p.Processes.Start("\"" + setup + "\" /S", true);
    ASSERT_NE(installed, nullptr);
    installed->Wait(nullptr);

    TFileInfoManager info(p);
    TUninstallManager inventory(p, info);
    inventory.SetCheckFiles(true);
    inventory.Refresh();
    const TUninstallItem* entry = nullptr;
    for (const auto& [name, item] : inventory.Items) {
        if (name == "Clearvane") {
            entry = item.get();
        }
    }
    ASSERT_NE(entry, nullptr) << "the program lists itself";
    EXPECT_EQ(entry->RootKey, kHKeyLocalMachine);
    EXPECT_TRUE(entry->IsUninstallable());
    EXPECT_FALSE(entry->Bad);
    EXPECT_EQ(entry->DisplayVersion, CLEARVANE_VERSION_TEXT);
    EXPECT_EQ(entry->Publisher, "Clearvane");
    const std::string folder = entry->InstallLocation;
    EXPECT_EQ(entry->DisplayIcon, folder + "\\clearvane.exe,0");
    EXPECT_NE(inventory.GetIconIndex(*entry), inventory.InstallIconIndex) << "its own icon";
    for (const char* file : {"\\clearvane.exe", "\\uninstaller.chm", "\\uninstall.exe"}) {
        EXPECT_TRUE(p.Files.FileExists(folder + file)) << file;
    }
    const std::string menu = p.Shell.GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS) + "\\Clearvane";
    EXPECT_TRUE(p.Files.FileExists(menu + "\\Clearvane.lnk"));
    EXPECT_EQ(p.Shell.ResolveShortcut(menu + "\\Clearvane.lnk"), folder + "\\clearvane.exe");

    TUninstallItem silent = *entry;
    silent.UninstallString += " /S";
    inventory.RunUninstallerAndWait(silent); // hands over to a copy of itself in the temporary folder
    EXPECT_FALSE(inventory.EntryExists(*entry));
    EXPECT_FALSE(p.Files.DirectoryExists(folder));
    EXPECT_FALSE(p.Files.DirectoryExists(menu));
}

} // namespace cv::test
