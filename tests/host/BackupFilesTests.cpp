#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/Utf.h"
#include "platform/substitute/SubstitutePlatform.h"
#include "uninstaller/BackupFiles.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class BackupFilesTest : public ::testing::Test {
protected:
    BackupFilesTest() { Sub.Files.AddFolder("C:\\Backups"); }

    void Entry(HKey root, TRegView view, const std::string& name) {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(root);
        reg.SetView(view);
        ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\" + name, true));
        reg.WriteString("DisplayName", name);
    }
    bool There(HKey root, TRegView view, const std::string& name) {
        TRegistry reg(Sub.Registry, kKeyRead);
        reg.SetRootKey(root);
        reg.SetView(view);
        return reg.KeyExists(std::string(kUninstallKey) + "\\" + name);
    }
    void Remove(HKey root, TRegView view, const std::string& name) {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(root);
        reg.SetView(view);
        ASSERT_TRUE(reg.DeleteKey(std::string(kUninstallKey) + "\\" + name));
    }
    void WriteReg(const std::string& path, const std::string& text) {
        const std::vector<std::uint8_t> wide =
            Utf8ToUtf16Bytes("Windows Registry Editor Version 5.00\r\n\r\n" + text);
        Sub.Files.WriteFile(path, std::string("\xFF\xFE") + std::string(wide.begin(), wide.end()));
    }

    TSubstitutePlatform Sub;
};

TEST_F(BackupFilesTest, TheBaseNameEndsInRegWhateverWasChosen) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Backups\\apps", "C:\\Backups\\apps.reg"},
        {"C:\\Backups\\apps.txt", "C:\\Backups\\apps.reg"},
        {"C:\\Backups\\apps.reg", "C:\\Backups\\apps.reg"},
        {"C:\\Backups\\apps.old.REG", "C:\\Backups\\apps.old.reg"},
        {"C:\\My.Backups\\apps", "C:\\My.Backups\\apps.reg"},
    };
    for (const auto& [chosen, base] : cases) {
        EXPECT_EQ(BackupBaseName(chosen), base) << chosen;
    }
    const auto files = BackupFiles("C:\\b.reg", true);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[1].Path, "C:\\b.reg.1");
    EXPECT_EQ(files[2].KeyName,
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    EXPECT_EQ(BackupFiles("C:\\b.reg", false).size(), 2u); // 32-bit Windows: one machine view
}

TEST_F(BackupFilesTest, AnEntryDeletedAfterABackupComesBackInItsOwnView) {
    Entry(kHKeyLocalMachine, kRegView64, "Machine App");
    Entry(kHKeyLocalMachine, kRegView32, "Wow App");
    Entry(kHKeyCurrentUser, kRegViewNative, "User App");
    ASSERT_EQ(SaveBackup(Sub.Platform, "C:\\Backups\\apps.reg"), "");
    for (const char* file : {"C:\\Backups\\apps.reg", "C:\\Backups\\apps.reg.1", "C:\\Backups\\apps.reg.2"}) {
        EXPECT_TRUE(Sub.Files.FileExists(file)) << file;
    }
    Remove(kHKeyLocalMachine, kRegView64, "Machine App");
    Remove(kHKeyLocalMachine, kRegView32, "Wow App");
    Remove(kHKeyCurrentUser, kRegViewNative, "User App");
    Entry(kHKeyCurrentUser, kRegViewNative, "Installed Since");

    EXPECT_EQ(RestoreBackup(Sub.Platform, "C:\\Backups\\apps.reg"), "");
    EXPECT_TRUE(There(kHKeyLocalMachine, kRegView64, "Machine App"));
    EXPECT_TRUE(There(kHKeyLocalMachine, kRegView32, "Wow App"));
    EXPECT_FALSE(There(kHKeyLocalMachine, kRegView64, "Wow App")); // not in the other view
    EXPECT_TRUE(There(kHKeyCurrentUser, kRegViewNative, "User App"));
    EXPECT_TRUE(There(kHKeyCurrentUser, kRegViewNative, "Installed Since")); // a merge removes nothing

    // A backup without its companions restores what it has.
    Sub.Files.RemoveFile("C:\\Backups\\apps.reg.1");
    Sub.Files.RemoveFile("C:\\Backups\\apps.reg.2");
    Remove(kHKeyLocalMachine, kRegView64, "Machine App");
    EXPECT_EQ(RestoreBackup(Sub.Platform, "C:\\Backups\\apps.reg"), "");
    EXPECT_TRUE(There(kHKeyLocalMachine, kRegView64, "Machine App"));
}

TEST_F(BackupFilesTest, AFileOutsideTheUninstallInformationIsRefusedAndNothingIsImported) {
    const std::string ours =
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mine]\r\n"
        "\"DisplayName\"=\"Mine\"\r\n";
    struct TCase {
        std::string Base;
        std::string Companion;
        std::string Message;
    };
    const TCase cases[] = {
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Evil]\r\n\"Run\"=\"x\"\r\n", ours,
         "\"C:\\Backups\\x.reg\" holds the key \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Evil\", which is no uninstall "
         "information. Nothing was restored."},
        {ours, "[-HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n",
         "\"C:\\Backups\\x.reg.1\" would delete the key \"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
         "CurrentVersion\\Run\". A backup deletes nothing. Nothing was restored."},
        // Deletions inside the uninstall information are refused too: a backup brings back, never removes.
        {ours, "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall]\r\n",
         "\"C:\\Backups\\x.reg.1\" would delete the key \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
         "CurrentVersion\\Uninstall\". A backup deletes nothing. Nothing was restored."},
        {ours,
         "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other]"
         "\r\n\"Publisher\" = -\r\n",
         "\"C:\\Backups\\x.reg.1\" would delete values. A backup deletes nothing. Nothing was restored."},
        {ours, "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\UninstallX]\r\n",
         "\"C:\\Backups\\x.reg.1\" holds the key \"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
         "CurrentVersion\\UninstallX\", which is no uninstall information. Nothing was restored."},
    };
    for (const TCase& c : cases) {
        WriteReg("C:\\Backups\\x.reg", c.Base);
        WriteReg("C:\\Backups\\x.reg.1", c.Companion);
        EXPECT_EQ(RestoreBackup(Sub.Platform, "C:\\Backups\\x.reg"), c.Message);
        EXPECT_FALSE(There(kHKeyCurrentUser, kRegViewNative, "Mine"));
    }
    Sub.Files.WriteFile("C:\\Backups\\x.reg", "not a registry file");
    EXPECT_EQ(RestoreBackup(Sub.Platform, "C:\\Backups\\x.reg"),
              "\"C:\\Backups\\x.reg\" is not a registry file. Nothing was restored.");
    EXPECT_FALSE(There(kHKeyCurrentUser, kRegViewNative, "Mine"));
}

TEST_F(BackupFilesTest, MachineEntriesAUserMayNotWriteAreRefusedBeforeAnyImport) {
    Entry(kHKeyLocalMachine, kRegView64, "Machine App");
    Entry(kHKeyCurrentUser, kRegViewNative, "User App");
    ASSERT_EQ(SaveBackup(Sub.Platform, "C:\\Backups\\apps.reg"), "");
    Remove(kHKeyCurrentUser, kRegViewNative, "User App");
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kUninstallKey, true);
    EXPECT_THROW(RestoreBackup(Sub.Platform, "C:\\Backups\\apps.reg"), ERightsError);
    EXPECT_FALSE(There(kHKeyCurrentUser, kRegViewNative, "User App")); // nothing at all
}

TEST_F(BackupFilesTest, AFileNotWrittenIsNamed) {
    Entry(kHKeyCurrentUser, kRegViewNative, "User App");
    Sub.Files.SetFault([](const std::string& op, const std::string& path) {
        return op == "WriteFile" && path.ends_with(".1");
    });
    EXPECT_EQ(SaveBackup(Sub.Platform, "C:\\Backups\\apps.reg"),
              "The uninstall information could not be saved: \"C:\\Backups\\apps.reg.1\" was not written "
              "(HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall).");
}

} // namespace

} // namespace cv::test
