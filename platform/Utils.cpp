#include "platform/Utils.h"

#include "platform/PathText.h"
#include "platform/StrCon.h"

#include <algorithm>

namespace cv {

std::string LocateExecutable(const TPlatform& platform, const std::string& fileName) {
    if (platform.Files.FileExists(fileName)) {
        return fileName;
    }
    return platform.Shell.AssociatedProgram(fileName);
}

namespace {

// The line before its n-th blank (the first blank for n 0 and 1); the whole
// line when it has fewer blanks.
std::string CutBeforeBlank(const std::string& line, int n) {
    std::size_t at = std::string::npos;
    for (int k = 0; k < std::max(n, 1); ++k) {
        at = line.find(' ', at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos) {
            return line;
        }
    }
    return line.substr(0, at);
}

std::string CleanCandidate(const std::string& candidate) {
    std::string unquoted;
    for (char c : candidate) {
        if (c != '"') {
            unquoted += c;
        }
    }
    std::string out;
    for (std::size_t i = 0; i < unquoted.size(); ++i) {
        out += unquoted[i];
        if (unquoted[i] == '\\' && i + 1 < unquoted.size() && unquoted[i + 1] == '\\') {
            ++i;
        }
    }
    return out;
}

} // namespace

std::string ExtractExecutable(const TPlatform& platform, const std::string& commandLine) {
    std::string result;
    std::string candidate;
    for (int i = 0; candidate != commandLine && i < 10; ++i) {
        candidate = CutBeforeBlank(commandLine, i);
        result = LocateExecutable(platform, CleanCandidate(candidate));
        if (!result.empty()) {
            break;
        }
    }
    return result;
}

std::string GetAppDir(const TPlatform& platform) {
    return StrCon().IncludeBackslash(ExtractFilePath(platform.Shell.ProgramPath()));
}

std::string GetSystemDir(const TPlatform& platform) {
    return StrCon().IncludeBackslash(platform.Shell.SystemDirectory());
}

std::string GetWindowsDir(const TPlatform& platform) {
    return StrCon().IncludeBackslash(platform.Shell.WindowsDirectory());
}

std::string ShortcutFileName(const std::string& name) {
    return name.substr(0, name.size() - ExtractFileExt(name).size()) + ".lnk";
}

bool CreateShortcut(const TPlatform& platform, const std::string& name, const std::string& target,
                    const std::string& arguments, const std::string& folder) {
    return platform.Shell.CreateShortcut(StrCon().IncludeBackslash(folder) + ShortcutFileName(name), target,
                                         arguments, ExtractFilePath(target));
}

std::string ResolveShortcut(const TPlatform& platform, const std::string& linkPath) {
    return platform.Shell.ResolveShortcut(platform.Files.FullPathName(linkPath));
}

void RunAndWait(const TPlatform& platform, const std::string& commandLine, bool wait) {
    auto process = platform.Processes.Start(commandLine, wait);
    if (process && wait) {
        process->Wait(platform.ProcessMessages);
    }
}

void ShellOpen(const TPlatform& platform, const std::string& target) {
    platform.Shell.Open(target);
}

void ShowFileProperties(const TPlatform& platform, const std::string& path) {
    platform.Shell.ShowProperties(path);
}

std::uintptr_t GetSystemImageList(const TPlatform& platform, bool large) {
    const TSystemImageLists lists = platform.Shell.GetSystemImageLists();
    return large ? lists.Large : lists.Small;
}

std::string FindLargestFile(const TPlatform& platform, const std::string& folder, const std::string& mask) {
    std::string best;
    std::uint64_t bestSize = 0;
    if (folder.empty()) {
        return best;
    }
    for (const TFoundFile& file : platform.Files.FindFiles(folder, mask)) {
        if (file.Size > bestSize) {
            bestSize = file.Size;
            best = file.Name;
        }
    }
    return best.empty() ? best : StrCon().IncludeBackslash(folder) + best;
}

} // namespace cv
