#include "app/UserFiles.h"

#include "app/Settings.h"
#include "inventory/UninstallManager.h"
#include "platform/PathText.h"
#include "platform/TextCase.h"
#include "platform/Utils.h"

namespace cv {

namespace {

const char* const kProbeName = "clearvane-write-test.tmp";

bool SameFolder(const TPlatform& platform, const std::string& a, const std::string& b) {
    return SameText(IncludeTrailingBackslash(platform.Files.FullPathName(a)),
                    IncludeTrailingBackslash(platform.Files.FullPathName(b)));
}

// Copies the first old file there is to the new place, unless the new place
// has a file of its own; written aside and renamed, as every file of ours.
void CarryOver(const TPlatform& platform, const std::string& target,
               const std::vector<std::string>& oldFolders) {
    if (platform.Files.FileExists(target)) {
        return;
    }
    const std::string name = ExtractFileName(target);
    for (const std::string& folder : oldFolders) {
        const std::string old = IncludeTrailingBackslash(folder) + name;
        std::string contents;
        if (SameFolder(platform, folder, ExtractFilePath(target)) ||
            !platform.Files.ReadFile(old, &contents)) {
            continue;
        }
        const std::string temporary = target + ".new";
        if (!platform.Files.WriteFile(temporary, contents) ||
            !platform.Files.MovePath(temporary, target, false)) {
            platform.Files.RemoveFile(temporary);
        }
        return;
    }
}

} // namespace

bool CanWriteFolder(const TPlatform& platform, const std::string& folder) {
    const std::string probe = IncludeTrailingBackslash(folder) + kProbeName;
    if (!platform.Files.WriteFile(probe, {})) {
        return false;
    }
    platform.Files.RemoveFile(probe);
    return true;
}

std::string UserFilesFolder(const TPlatform& platform) {
    const std::string beside = GetAppDir(platform);
    const std::string appData = platform.Shell.GetSpecialFolderPath(kCsidlAppData);
    const std::string folder = IncludeTrailingBackslash(appData) + kUserFilesFolderName;
    // Files that moved to the user's folder stay there, also for a run that
    // could write beside the program (one started as administrator).
    for (const char* name : {kSettingsFileName, kNamesFile}) {
        if (!appData.empty() && platform.Files.FileExists(IncludeTrailingBackslash(folder) + name)) {
            return IncludeTrailingBackslash(folder);
        }
    }
    if (appData.empty() || CanWriteFolder(platform, beside)) {
        return beside;
    }
    for (const std::string& made : {appData, folder}) {
        if (!platform.Files.DirectoryExists(made)) {
            platform.Files.MakeDirectory(made);
        }
    }
    return IncludeTrailingBackslash(folder);
}

TUserFiles PrepareUserFiles(const TPlatform& platform) {
    const std::string folder = UserFilesFolder(platform);
    const TUserFiles files{folder + kSettingsFileName, folder + kNamesFile};
    const std::string beside = GetAppDir(platform);
    CarryOver(platform, files.SettingsFile, {beside});
    CarryOver(platform, files.NamesFile, {platform.Files.CurrentDirectory(), beside});
    return files;
}

} // namespace cv
