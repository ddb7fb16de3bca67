// Where the settings and the names record go on the real platform. Wine run
// by root writes into any folder whatever its rights and attributes, so a
// program folder that refuses files is a file system that says "access
// denied" there, as Windows does to a standard user in Program Files.
#include "contract/ContractEnv.h"

#include "app/Settings.h"
#include "app/UserFiles.h"
#include "inventory/UninstallManager.h"
#include "platform/TextCase.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class TRefusingFiles : public TWin32FileSystem {
public:
    std::string Refused; // a folder, with its backslash; empty refuses nothing

    bool WriteFile(const std::string& path, const std::string& contents) override {
        return !Refuses(path) && TWin32FileSystem::WriteFile(path, contents);
    }
    bool MovePath(const std::string& from, const std::string& to, bool replace) override {
        return !Refuses(to) && TWin32FileSystem::MovePath(from, to, replace);
    }
    bool MakeDirectory(const std::string& path) override {
        return !Refuses(path) && TWin32FileSystem::MakeDirectory(path);
    }

private:
    bool Refuses(const std::string& path) {
        if (Refused.empty() || !SameText(FullPathName(path).substr(0, Refused.size()), Refused)) {
            return false;
        }
        ::SetLastError(ERROR_ACCESS_DENIED);
        return true;
    }
};

class TProgramElsewhere : public TWin32Shell {
public:
    std::string Program;
    std::string ProgramPath() override { return Program; }
};

TEST(UserFilesOnWine, AFolderThatRefusesFilesSendsBothFilesToTheApplicationData) {
    const auto env = MakeContractEnv();
    TWin32Platform win32;
    TRefusingFiles files;
    TProgramElsewhere shell;
    TPlatform platform{win32.Registry, files, shell, win32.Processes, win32.Locale, PumpWin32Messages};
    const std::string programFolder = env->ScratchFolder() + "\\Program\\";
    const std::string work = env->ScratchFolder() + "\\Work";
    shell.Program = programFolder + "clearvane.exe";
    ASSERT_TRUE(files.MakeDirectory(programFolder));
    ASSERT_TRUE(files.MakeDirectory(work));
    const std::string appData = shell.GetSpecialFolderPath(kCsidlAppData);
    ASSERT_FALSE(appData.empty());
    const std::string userFolder = appData + "\\" + kUserFilesFolderName + "\\";
    const auto clearUserFolder = [&] {
        files.RemoveFile(userFolder + kSettingsFileName);
        files.RemoveFile(userFolder + kNamesFile);
        files.RemoveEmptyDirectory(userFolder);
    };
    const std::string before = files.CurrentDirectory();
    ASSERT_TRUE(files.ChangeDirectory(work));

    struct TCase {
        bool Refused;
        std::string Folder;
    };
    for (const TCase& c : {TCase{true, userFolder}, TCase{false, programFolder}}) {
        SCOPED_TRACE(c.Folder);
        clearUserFolder();
        files.Refused.clear();
        ASSERT_TRUE(files.WriteFile(programFolder + kNamesFile, "Old App\r\n"));
        ASSERT_TRUE(files.WriteFile(programFolder + kSettingsFileName, "[Main Form]\r\nWindowLeft=77\r\n"));
        files.Refused = c.Refused ? programFolder : "";
        EXPECT_EQ(CanWriteFolder(platform, programFolder), !c.Refused);

        const TUserFiles found = PrepareUserFiles(platform);
        EXPECT_TRUE(SameText(found.NamesFile, c.Folder + kNamesFile)) << found.NamesFile;
        EXPECT_TRUE(SameText(SettingsPath(platform), c.Folder + kSettingsFileName)) << SettingsPath(platform);
        EXPECT_EQ(LoadMainFormPlacement(platform).WindowLeft, 77) << "the old settings came along";

        const TFileInfoManager info(platform);
        TUninstallManager manager(platform, info);
        manager.SetNamesFile(found.NamesFile);
        manager.LoadLastNames();
        EXPECT_EQ(manager.LastNames, std::vector<std::string>{"Old App"}) << "the old record came along";
        EXPECT_NO_THROW(manager.SaveNames());
        TMainFormPlacement placement;
        placement.WindowLeft = 5;
        EXPECT_NO_THROW(SaveMainFormPlacement(platform, placement));
        EXPECT_EQ(LoadMainFormPlacement(platform).WindowLeft, 5);

        files.Refused.clear();
        std::string old;
        ASSERT_TRUE(files.ReadFile(programFolder + kSettingsFileName, &old));
        EXPECT_EQ(old.find("WindowLeft=5") == std::string::npos, c.Refused) << "the old file stays as it was";
        EXPECT_TRUE(files.FindFiles(work, "*").empty()) << "nothing in the current directory";
        EXPECT_TRUE(files.FindFiles(programFolder, "*.tmp").empty());
    }
    clearUserFolder();
    files.ChangeDirectory(before);
}

} // namespace

} // namespace cv::test
