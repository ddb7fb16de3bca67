// The real profiles' exports go into the real registry through the registry
// editor, and into the substitute through its own import: both inventories
// must come out the same, value for value.
#include "contract/ContractEnv.h"
#include "contract/RealData.h"

#include "inventory/UninstallManager.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace cv::test {

namespace {

std::vector<std::string> UserEntries(TUninstallManager& manager, bool withValues) {
    std::vector<std::string> out;
    for (const auto& pair : manager.Items) {
        if (pair.second->RootKey != kHKeyCurrentUser) {
            continue;
        }
        out.push_back(Describe(*pair.second));
        if (withValues) {
            std::vector<std::string> lines = pair.second->ReadValues();
            std::sort(lines.begin(), lines.end()); // Wine lists values by name
            for (const std::string& line : lines) {
                out.push_back("  " + line);
            }
        }
    }
    return out;
}

TEST(RealDataOnWine, TheEditorsImportAndOursGiveTheSameInventory) {
    const std::string folder = RealDataFolder();
    if (folder.empty()) {
        GTEST_SKIP() << "no registry exports in ../shared/realdata; these tests need them";
    }
    TWin32Platform win;
    const std::vector<TFoundFile> files = win.Files.FindFiles(folder, "*.reg");
    ASSERT_FALSE(files.empty());
    for (const TFoundFile& file : files) {
        const std::string path = folder + "\\" + file.Name;
        TRegistry reg(win.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.DeleteKey(kUninstallKey);
        ASSERT_TRUE(win.Shell.RegeditImport(path)) << file.Name;
        TFileInfoManager realInfo(win.Platform);
        TUninstallManager real(win.Platform, realInfo);
        real.Refresh();

        std::string bytes;
        ASSERT_TRUE(win.Files.ReadFile(path, &bytes));
        TSubstitutePlatform sub;
        ASSERT_TRUE(ImportRegFile(sub.Registry, bytes)) << file.Name;
        TFileInfoManager subInfo(sub.Platform);
        TUninstallManager substitute(sub.Platform, subInfo);
        substitute.Refresh();

        EXPECT_EQ(UserEntries(real, true), UserEntries(substitute, true)) << file.Name;
        EXPECT_FALSE(UserEntries(real, false).empty() && file.Name.find("XP") == std::string::npos &&
                     file.Name.find("RunTests") == std::string::npos)
            << file.Name;

        // Reading and rewriting every entry on the real registry changes nothing.
        std::string before;
        ExportRegFile(win.Registry, std::string("HKCU\\") + kUninstallKey, &before);
        for (const auto& pair : real.Items) {
            if (pair.second->RootKey == kHKeyCurrentUser) {
                pair.second->WriteValues(pair.second->ReadValues());
            }
        }
        std::string after;
        ExportRegFile(win.Registry, std::string("HKCU\\") + kUninstallKey, &after);
        EXPECT_EQ(after, before) << file.Name;
        reg.DeleteKey(kUninstallKey);
    }
}

} // namespace

} // namespace cv::test
