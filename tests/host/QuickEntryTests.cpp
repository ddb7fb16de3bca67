#include "inventory/UninstallManager.h"
#include "platform/Registry.h"
#include "platform/Utils.h"
#include "platform/substitute/SubstitutePlatform.h"
#include "uninstaller/QuickEntry.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(QuickEntry, AFolderIsWithinAnotherByWholeParts) {
    struct TCase {
        std::string Folder;
        std::string Outer;
        bool Within;
    };
    const TCase cases[] = {
        {"C:\\Program Files\\Tool", "C:\\Program Files\\Tool", true},
        {"c:\\program files\\tool\\", "C:\\Program Files\\Tool", true},
        {"C:\\Program Files\\Tool\\bin", "C:\\Program Files\\Tool\\", true},
        {"C:\\Program Files\\Tool2", "C:\\Program Files\\Tool", false}, // a sibling with a longer name
        {"C:\\Program Files", "C:\\Program Files\\Tool", false},        // the folder around it
        {"C:\\Program Files\\Other", "C:\\Program Files\\Tool", false},
        {"C:\\anything", "C:\\", false}, // a drive's root owns nothing
        {"", "C:\\Program Files\\Tool", false},
        {"C:\\Program Files\\Tool", "", false},
        {"C:/Program Files/Tool/x", "C:\\Program Files\\Tool", true},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(FolderWithin(c.Folder, c.Outer), c.Within) << c.Folder << " in " << c.Outer;
    }
}

class QuickEntryTest : public ::testing::Test {
protected:
    void App(const std::string& key, const std::string& name, const std::string& location,
             bool removable = true) {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\" + key, true));
        reg.WriteString("DisplayName", name);
        reg.WriteString("UninstallString", "\"" + location + "\\uninst.exe\"");
        reg.WriteString("InstallLocation", location);
        if (!removable) {
            reg.WriteInteger("NoRemove", 1);
        }
    }
    std::string Owner(const std::string& path) {
        Inventory.Refresh();
        const TUninstallItem* owner = FindOwnerEntry(Sub.Platform, Inventory, path);
        return owner != nullptr ? owner->DisplayName : "<none>";
    }

    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    TUninstallManager Inventory{Sub.Platform, Info};
};

TEST_F(QuickEntryTest, TheOwnerIsFoundByItsFolderInLongOrShortForm) {
    Sub.Files.AddFile("C:\\Program Files\\Photo Frame\\frame.exe", "MZ");
    Sub.Files.AddFile("C:\\Program Files\\Photo Frame\\plugins\\a.dll", "MZ");
    Sub.Files.AddFile("C:\\Program Files\\Photo Frame Pro\\pro.exe", "MZ");
    Sub.Files.AddFile("C:\\Program Files\\readme.txt", "x");
    Sub.Files.AddFile("C:\\Program Files\\Locked\\locked.exe", "MZ");
    Sub.Files.AddFile("C:\\Users\\Me\\Desktop\\notes.txt", "x");
    const std::string shortForm = Sub.Files.ShortPathName("C:\\Program Files\\Photo Frame");
    ASSERT_FALSE(shortForm.empty());
    ASSERT_NE(shortForm, "C:\\Program Files\\Photo Frame");
    App("Locked", "Locked App", "C:\\Program Files\\Locked", false);
    App("Frame", "Photo Frame", shortForm); // stored in short form by its installer
    for (const char* link : {"C:\\Users\\Me\\Desktop\\Frame.lnk", "C:\\Users\\Me\\Desktop\\Frame2.LNK",
                             "C:\\Users\\Me\\Desktop\\Frame3.Lnk"}) {
        ASSERT_TRUE(Sub.Shell.CreateShortcut(link, "C:\\Program Files\\Photo Frame\\frame.exe", "", ""));
    }
    struct TCase {
        std::string Path;
        std::string Owner;
    };
    const TCase cases[] = {
        {"C:\\Program Files\\Photo Frame\\frame.exe", "Photo Frame"},
        {shortForm + "\\frame.exe", "Photo Frame"},
        {"c:\\program files\\photo frame\\plugins\\a.dll", "Photo Frame"}, // in a subfolder
        {"C:\\Users\\Me\\Desktop\\Frame.lnk", "Photo Frame"},              // its target's folder
        {"C:\\Users\\Me\\Desktop\\Frame2.LNK", "Photo Frame"},
        {"C:\\Users\\Me\\Desktop\\Frame3.Lnk", "Photo Frame"},
        {"C:\\Program Files\\Photo Frame Pro\\pro.exe", "<none>"}, // a sibling whose name begins alike
        {"C:\\Program Files\\readme.txt", "<none>"},               // the folder around the install folder
        {"C:\\Program Files\\Locked\\locked.exe", "<none>"},       // not to be removed
        {"C:\\Users\\Me\\Desktop\\notes.txt", "<none>"},
        {"notes.txt", "<none>"},          // no folder at all
        {"C:\\Gone\\file.txt", "<none>"}, // a folder that is not there
        {"", "<none>"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Owner(c.Path), c.Owner) << c.Path;
    }
    // Stored in long form, found from the short form as well.
    TRegistry reg(Sub.Registry);
    reg.SetRootKey(kHKeyLocalMachine);
    ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\Frame", false));
    reg.WriteString("InstallLocation", "C:\\Program Files\\Photo Frame");
    EXPECT_EQ(Owner(shortForm + "\\frame.exe"), "Photo Frame");
    EXPECT_EQ(Owner("C:\\Program Files\\Photo Frame\\frame.exe"), "Photo Frame");
}

TEST_F(QuickEntryTest, TheInnermostFolderWinsAndWindowsFoldersOwnNothing) {
    Sub.Files.AddFile("C:\\Tools\\outer.exe", "MZ");
    Sub.Files.AddFile("C:\\Tools\\Inner\\inner.exe", "MZ");
    Sub.Files.AddFile(GetSystemDir(Sub.Platform) + "msiexec.exe", "MZ");
    Sub.Files.AddFile(GetSystemDir(Sub.Platform) + "notepad.exe", "MZ");
    App("A Outer", "Outer", "C:\\Tools");
    App("B Inner", "Inner", "C:\\Tools\\Inner");
    {
        // Installed by Windows Installer: no folder of its own, an uninstaller of the system's.
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\{MSI}", true));
        reg.WriteString("DisplayName", "Some MSI App");
        reg.WriteString("UninstallString", "MsiExec.exe /X{00000000-0000-0000-0000-000000000001}");
    }
    EXPECT_EQ(Owner("C:\\Tools\\Inner\\inner.exe"), "Inner");
    EXPECT_EQ(Owner("C:\\Tools\\outer.exe"), "Outer");
    EXPECT_EQ(Owner(GetSystemDir(Sub.Platform) + "notepad.exe"), "<none>");
}

TEST_F(QuickEntryTest, TheChoicesNameTheOwnerAndTheFileCutToForty) {
    TUninstallItem owner(Sub.Platform);
    owner.DisplayName = std::string(45, 'a');
    EXPECT_EQ(QuickEntryChoices(&owner, "C:\\x\\file.txt"),
              (std::vector<std::string>{"Uninstall \"" + std::string(37, 'a') + "...\"?",
                                        "Delete \"file.txt\"?", "Show me the UI."}));
    owner.DisplayName = std::string(40, 'b');
    EXPECT_EQ(QuickEntryChoices(&owner, "f")[0], "Uninstall \"" + std::string(40, 'b') + "\"?");
    EXPECT_EQ(QuickEntryChoices(nullptr, "C:\\x\\" + std::string(41, 'c')),
              (std::vector<std::string>{"Delete \"" + std::string(37, 'c') + "...\"?", "Show me the UI."}));
}

TEST(RecycleBin, AFileMovedThereIsGoneFromItsFolderAndKept) {
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\Users\\Me\\Desktop\\Tool.lnk", "link bytes");
    EXPECT_TRUE(sub.Files.MoveToRecycleBin("C:\\Users\\Me\\Desktop\\Tool.lnk"));
    EXPECT_FALSE(sub.Files.FileExists("C:\\Users\\Me\\Desktop\\Tool.lnk"));
    EXPECT_EQ(sub.Files.Recycled(), (std::vector<std::pair<std::string, std::string>>{
                                        {"C:\\Users\\Me\\Desktop\\Tool.lnk", "link bytes"}}));
    EXPECT_FALSE(sub.Files.MoveToRecycleBin("C:\\Users\\Me\\Desktop\\Tool.lnk"));
}

} // namespace

} // namespace cv::test
