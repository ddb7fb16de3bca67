// Registry exports of real user profiles, written by nobody on this project:
// they must load, read and rewrite with nothing lost or garbled.
#include "contract/ContractEnv.h"
#include "contract/RealData.h"

#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace cv::test {

namespace {

const std::string kUserUninstall =
    std::string("HKEY_CURRENT_USER\\") + "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::vector<std::pair<std::string, std::string>> RealFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    const std::string folder = RealDataFolder();
    if (folder.empty()) {
        return files;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".reg") {
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            files.emplace_back(entry.path().filename().string(), bytes.str());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class RealData : public ::testing::Test {
protected:
    void SetUp() override {
        Files = RealFiles();
        if (Files.empty()) {
            GTEST_SKIP() << "no registry exports in ../shared/realdata; these tests need them";
        }
    }
    std::vector<std::pair<std::string, std::string>> Files;
};

TEST_F(RealData, ImportThenExportGivesBackEveryKeyTextForText) {
    for (const auto& [name, bytes] : Files) {
        TSubstituteRegistry registry;
        ASSERT_TRUE(ImportRegFile(registry, bytes)) << name;
        std::string exported;
        ASSERT_TRUE(ExportRegFile(registry, "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion",
                                  &exported));
        std::vector<std::string> original = RegSections(bytes);
        std::vector<std::string> again = RegSections(exported);
        again.erase(again.begin()); // the CurrentVersion key itself
        std::sort(original.begin(), original.end());
        std::sort(again.begin(), again.end());
        EXPECT_EQ(again, original) << name;
    }
}

TEST_F(RealData, EveryEntryIsReadAndRewritesWithoutChange) {
    for (const auto& [name, bytes] : Files) {
        TSubstitutePlatform sub;
        ASSERT_TRUE(ImportRegFile(sub.Registry, bytes)) << name;
        std::size_t expected = 0;
        for (const std::string& section : RegSections(bytes)) {
            expected += section.rfind("[" + kUserUninstall + "\\", 0) == 0 ? 1 : 0;
        }
        TFileInfoManager info(sub.Platform);
        TUninstallManager manager(sub.Platform, info);
        manager.Refresh();
        EXPECT_EQ(manager.Items.size(), expected) << name;

        std::string before;
        ASSERT_TRUE(ExportRegFile(sub.Registry, kUserUninstall, &before) || expected == 0) << name;
        for (const auto& pair : manager.Items) {
            pair.second->WriteValues(pair.second->ReadValues());
        }
        std::string after;
        ExportRegFile(sub.Registry, kUserUninstall, &after);
        EXPECT_EQ(after, before) << name;
    }
}

TEST_F(RealData, OddValuesArriveAsTheyWereStored) {
    std::map<std::string, std::string> seen;
    int apps = 0;
    for (const auto& [name, bytes] : Files) {
        TSubstitutePlatform sub;
        ImportRegFile(sub.Registry, bytes);
        TFileInfoManager info(sub.Platform);
        TUninstallManager manager(sub.Platform, info);
        manager.Refresh();
        apps += manager.AppCount;
        for (const auto& pair : manager.Items) {
            seen[name + " " + pair.first] = Describe(*pair.second);
        }
    }
    const std::string oneDrive = seen["regipy_NTUSER-WSL.reg Microsoft OneDrive"];
    EXPECT_NE(
        oneDrive.find(
            "| C:\\Users\\admin\\AppData\\Local\\Microsoft\\OneDrive\\21.220.1024.0005\\OneDriveSetup.exe  "
            "/uninstall  |"),
        std::string::npos)
        << oneDrive;
    EXPECT_NE(oneDrive.find("OneDriveSetup.exe,-101 |"), std::string::npos) << oneDrive;
    EXPECT_NE(oneDrive.find("| http://go.microsoft.com/fwlink/?LinkID=223554 | 100"), std::string::npos)
        << oneDrive;
    const std::string code = seen["regipy_ntuser_software_partial.reg Microsoft Visual Studio Code (User)"];
    EXPECT_NE(code.find("| C:\\Users\\tony\\AppData\\Local\\Programs\\Microsoft VS Code\\ |"),
              std::string::npos)
        << code;
    const std::string distorm = seen["regipy_ntuser_software_partial.reg Python 3.7 distorm3-3.3.4"];
    EXPECT_EQ(distorm.substr(distorm.size() - 3), "001") << distorm;
    EXPECT_GE(apps, 1);
}

} // namespace

} // namespace cv::test
