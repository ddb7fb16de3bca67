// The failures the real platform can produce by itself: a read-only file, a
// missing folder, a key that disappears between the listing and the read.
#include "contract/ContractEnv.h"

#include "app/IniFile.h"
#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace cv::test {

namespace {

// The real registry, except that opening one chosen key first deletes it,
// as another program might between our listing and our read.
class TVanishingRegistry : public TWin32Registry {
public:
    std::string Doomed;
    long OpenKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) override {
        if (!Doomed.empty() && subKey == Doomed) {
            const std::string doomed = Doomed;
            Doomed.clear();
            TRegistry reg(*this);
            reg.SetRootKey(parent);
            reg.DeleteKey(doomed);
        }
        return TWin32Registry::OpenKey(parent, subKey, access, result);
    }
};

TEST(FaultsOnWine, AKeyGoneBetweenListingAndReadingLeavesAnEmptyEntry) {
    TVanishingRegistry registry;
    TWin32Platform win;
    TPlatform platform{registry, win.Files, win.Shell, win.Processes, win.Locale, PumpWin32Messages};
    const std::string tag = "cvvanish " + std::to_string(GetCurrentProcessId());
    const std::string path = std::string(kUninstallKey) + "\\" + tag;
    {
        TRegistry reg(registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(path, true));
        reg.WriteString("DisplayName", tag);
        reg.WriteString("UninstallString", "x.exe");
        ASSERT_TRUE(reg.OpenKey(path + " after", true));
        reg.WriteString("DisplayName", tag + " after");
    }
    TFileInfoManager info(platform);
    TUninstallManager manager(platform, info);
    manager.Refresh();
    const int before = manager.AppCount;
    registry.Doomed = path;
    manager.Refresh();
    bool emptyEntry = false;
    bool after = false;
    for (const auto& [name, item] : manager.Items) {
        emptyEntry = emptyEntry || (item->KeyPath == path && name.empty());
        after = after || name == tag + " after";
    }
    EXPECT_TRUE(emptyEntry);
    EXPECT_TRUE(after);
    EXPECT_EQ(manager.AppCount, before - 1);
    TRegistry reg(registry);
    reg.SetRootKey(kHKeyCurrentUser);
    reg.DeleteKey(path + " after");
}

TEST(FaultsOnWine, FilesInAMissingFolderAreReportedWithTheirPath) {
    const auto env = MakeContractEnv();
    TPlatform& p = env->Platform();
    TFileInfoManager info(p);
    TUninstallManager manager(p, info);
    manager.Refresh();

    // Wine's MoveFileEx replaces a read-only file where Windows refuses, so
    // that case lives in the host tests; a missing folder fails here for real.
    const std::string missing = env->ScratchFolder() + "\\no such folder\\lastuninstall.dat";
    try {
        manager.SaveNames(missing);
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing);
    }
    TIniFile ini(p, env->ScratchFolder() + "\\no such folder\\qxuninstaller.ini");
    ini.WriteInteger("Clearvane", "ViewStyle", 1);
    EXPECT_THROW(ini.UpdateFile(), ESettingsError);
}

} // namespace

} // namespace cv::test
