#include "app/Settings.h"
#include "app/UserFiles.h"
#include "inventory/UninstallManager.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

#include <optional>

namespace cv::test {

namespace {

const std::string kProgramFolder = "C:\\Program Files\\Clearvane\\";
const std::string kAppData = "C:\\Users\\Ann\\AppData\\Roaming";
const std::string kNewFolder = kAppData + "\\Clearvane\\";
const std::string kWork = "C:\\Work\\";

TEST(UserFiles, TheFilesLiveWhereTheUserCanWriteAndOldOnesAreCarriedOverOnce) {
    struct TCase {
        const char* Name;
        bool ReadOnly;
        bool HasAppData;
        std::vector<std::pair<std::string, std::string>> Before; // files there at the start
        std::string Folder;                                      // where both files live
        std::optional<std::string> Settings;                     // what the settings file then holds
        std::optional<std::string> Names;                        // and the names file
    };
    const std::string names = kNamesFile;
    const std::string ini = kSettingsFileName;
    const TCase cases[] = {
        {"portable, nothing yet", false, true, {}, kProgramFolder, std::nullopt, std::nullopt},
        {"portable, the names record in the current directory moves beside the program",
         false,
         true,
         {{kWork + names, "Old\r\n"}, {kProgramFolder + ini, "[a]\r\n"}},
         kProgramFolder,
         "[a]\r\n",
         "Old\r\n"},
        {"read-only, nothing yet", true, true, {}, kNewFolder, std::nullopt, std::nullopt},
        {"read-only, both files beside the program are carried over",
         true,
         true,
         {{kProgramFolder + names, "Beside\r\n"}, {kProgramFolder + ini, "[old]\r\n"}},
         kNewFolder,
         "[old]\r\n",
         "Beside\r\n"},
        {"read-only, the current directory's record is the one in use today",
         true,
         true,
         {{kProgramFolder + names, "Beside\r\n"}, {kWork + names, "Current\r\n"}},
         kNewFolder,
         std::nullopt,
         "Current\r\n"},
        {"read-only, files already in the new place win",
         true,
         true,
         {{kWork + names, "Current\r\n"},
          {kNewFolder + names, "New\r\n"},
          {kProgramFolder + ini, "[old]\r\n"},
          {kNewFolder + ini, "[new]\r\n"}},
         kNewFolder,
         "[new]\r\n",
         "New\r\n"},
        {"writable (a run as administrator), files already in the user's folder are the ones in use",
         false,
         true,
         {{kNewFolder + names, "Mine\r\n"}, {kProgramFolder + ini, "[beside]\r\n"}},
         kNewFolder,
         "[beside]\r\n",
         "Mine\r\n"},
        {"read-only without an application data folder",
         true,
         false,
         {},
         kProgramFolder,
         std::nullopt,
         std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSubstitutePlatform sub;
        sub.Files.AddFolder(kProgramFolder);
        sub.Files.AddFolder(kWork);
        sub.Files.ChangeDirectory(kWork);
        sub.Shell.SetSpecialFolder(kCsidlAppData, "");
        if (c.HasAppData) {
            sub.Files.AddFolder(kAppData); // the program's folder in it is not made yet
            sub.Shell.SetSpecialFolder(kCsidlAppData, kAppData);
        }
        for (const auto& [path, text] : c.Before) {
            sub.Files.AddFile(path, text);
        }
        if (c.ReadOnly) {
            sub.Files.SetFault([](const std::string&, const std::string& path) {
                return path.rfind(kProgramFolder, 0) == 0;
            });
        }
        const TUserFiles files = PrepareUserFiles(sub.Platform);
        EXPECT_EQ(files.SettingsFile, c.Folder + ini);
        EXPECT_EQ(files.NamesFile, c.Folder + names);
        EXPECT_EQ(SettingsPath(sub.Platform), files.SettingsFile);
        EXPECT_EQ(sub.Files.DirectoryExists(kNewFolder), c.Folder == kNewFolder);
        for (const auto& [path, expected] :
             {std::pair{files.SettingsFile, c.Settings}, {files.NamesFile, c.Names}}) {
            std::string text;
            EXPECT_EQ(sub.Files.ReadFile(path, &text), expected.has_value()) << path;
            EXPECT_EQ(text, expected.value_or("")) << path;
        }
        for (const auto& [path, text] : c.Before) {
            std::string now;
            EXPECT_TRUE(sub.Files.ReadFile(path, &now)) << "an old file stays: " << path;
            EXPECT_EQ(now, text) << path;
        }
        EXPECT_TRUE(sub.Files.FindFiles(kProgramFolder, "*.tmp").empty()) << "the write test leaves nothing";
        EXPECT_TRUE(sub.Files.FindFiles(c.Folder, "*.new").empty());

        // The next start: what the user changed since stays, the old files are not read again.
        if (sub.Files.FileExists(files.NamesFile)) {
            sub.Files.SetFault(nullptr);
            ASSERT_TRUE(sub.Files.WriteFile(files.NamesFile, "Changed\r\n"));
            if (c.ReadOnly) {
                sub.Files.SetFault([](const std::string&, const std::string& path) {
                    return path.rfind(kProgramFolder, 0) == 0;
                });
            }
            EXPECT_EQ(PrepareUserFiles(sub.Platform).NamesFile, files.NamesFile);
            std::string text;
            sub.Files.ReadFile(files.NamesFile, &text);
            EXPECT_EQ(text, "Changed\r\n");
        }
    }
}

} // namespace

} // namespace cv::test
