#include "platform/Utils.h"

#include "platform/CommandStart.h"
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
    std::size_t i = 0;
    // A network path keeps the two backslashes it starts with.
    if (unquoted.size() > 2 && unquoted[0] == '\\' && unquoted[1] == '\\') {
        out = "\\\\";
        i = unquoted.find_first_not_of('\\');
        i = i == std::string::npos ? unquoted.size() : i;
    }
    for (; i < unquoted.size(); ++i) {
        out += unquoted[i];
        if (unquoted[i] == '\\' && i + 1 < unquoted.size() && unquoted[i + 1] == '\\') {
            ++i;
        }
    }
    return out;
}

} // namespace

namespace {

bool HasFolder(const std::string& path) {
    return path.find_first_of("\\/:") != std::string::npos;
}

// A bare program name in the system folder, then in the Windows folder, the
// places its name stands for on every machine, before any folder a stranger
// could have put a file of that name in. Empty when it is in neither.
std::string InSystemFolders(const TPlatform& platform, const std::string& name) {
    for (const std::string& folder : {GetSystemDir(platform), GetWindowsDir(platform)}) {
        for (const std::string& file : {name, name + ".exe"}) {
            if (platform.Files.FileExists(folder + file)) {
                return folder + file;
            }
            if (!ExtractFileExt(name).empty()) {
                break;
            }
        }
    }
    return {};
}

std::string NamedProgram(const TPlatform& platform, const std::string& name) {
    if (!HasFolder(name)) {
        if (std::string found = InSystemFolders(platform, name); !found.empty()) {
            return found;
        }
    }
    return LocateExecutable(platform, name);
}

// The end of the n-th cut (n from 1): the position of the n-th blank, or the
// line's end when it has fewer.
std::size_t CutEnd(const std::string& line, int n) {
    const std::string cut = CutBeforeBlank(line, n);
    return cut.size();
}

} // namespace

TProgramInLine FindProgramInLine(const TPlatform& platform, const std::string& commandLine) {
    const std::size_t first = commandLine.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const bool quoted = commandLine[first] == '"';
    if (quoted) {
        // What CreateProcess runs: the text between the quotes.
        const std::size_t close = commandLine.find('"', first + 1);
        const std::size_t length = close == std::string::npos ? std::string::npos : close - first - 1;
        const std::string name = CleanCandidate(commandLine.substr(first + 1, length));
        if (!name.empty()) {
            if (std::string found = NamedProgram(platform, name); !found.empty()) {
                return {found, close == std::string::npos ? commandLine.size() : close + 1};
            }
        }
    }
    // A line whose path is not quoted can be read in several ways when
    // blanks are in it: "C:\Tools\My App\uninst.exe /S" may be C:\Tools\My
    // with the arguments "App\uninst.exe /S". CreateProcess tries the shortest
    // reading first and, appending ".exe", runs C:\Tools\My.exe when there is
    // one. The entry means its own uninstaller, so a cut that names an
    // existing file exactly as written wins over any cut completed by a
    // search; among those the shortest, as arguments may be paths too.
    for (int n = 1; n < 10; ++n) {
        const std::string name = CleanCandidate(CutBeforeBlank(commandLine, n));
        if (HasFolder(name) && platform.Files.FileExists(name)) {
            return {name, CutEnd(commandLine, n)};
        }
        if (CutEnd(commandLine, n) == commandLine.size()) {
            break;
        }
    }
    if (quoted) {
        return {}; // a quoted program that is not there is not guessed at
    }
    if (const std::string word = CleanCandidate(CutBeforeBlank(commandLine, 1)); !HasFolder(word)) {
        if (std::string found = InSystemFolders(platform, word); !found.empty()) {
            return {found, CutEnd(commandLine, 1)};
        }
    }
    // Else whatever the shell finds for each cut in turn: a missing
    // extension, a name on the search path, a document's program.
    std::string candidate;
    for (int i = 0; candidate != commandLine && i < 10; ++i) {
        candidate = CutBeforeBlank(commandLine, i);
        if (std::string result = LocateExecutable(platform, CleanCandidate(candidate)); !result.empty()) {
            return {result, candidate.size()};
        }
    }
    return {};
}

std::vector<std::string> ProgramCandidates(const std::string& commandLine) {
    std::vector<std::string> candidates;
    const std::size_t first = commandLine.find_first_not_of(' ');
    if (first == std::string::npos) {
        return candidates;
    }
    if (commandLine[first] == '"') {
        const std::size_t close = commandLine.find('"', first + 1);
        const std::size_t length = close == std::string::npos ? std::string::npos : close - first - 1;
        candidates.push_back(CleanCandidate(commandLine.substr(first + 1, length)));
        return candidates;
    }
    for (int n = 1; n < 10; ++n) {
        candidates.push_back(CleanCandidate(CutBeforeBlank(commandLine, n)));
        if (CutEnd(commandLine, n) == commandLine.size()) {
            break;
        }
    }
    return candidates;
}

std::string ExtractExecutable(const TPlatform& platform, const std::string& commandLine) {
    return FindProgramInLine(platform, commandLine).Program;
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
    auto process = StartCommand(platform, commandLine, wait, nullptr);
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
