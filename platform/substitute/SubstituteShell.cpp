#include "platform/substitute/SubstituteShell.h"

#include "platform/PathText.h"
#include "platform/RegFile.h"
#include "platform/TextCase.h"

#include <algorithm>

namespace cv {

namespace {

const char* const kLinkMagic = "CVLNK1\n";

} // namespace

bool IsProgramExtension(const std::string& extension) {
    for (const char* known : {".exe", ".com", ".bat", ".cmd", ".pif"}) {
        if (SameText(extension, known)) {
            return true;
        }
    }
    return false;
}

TSubstituteShell::TSubstituteShell(TSubstituteRegistry& registry, TSubstituteFileSystem& files)
    : FRegistry(registry), FFiles(files) {
    FFiles.AddFolder(SystemDirectory());
    const std::pair<const char*, const char*> environment[] = {
        {"SystemRoot", "C:\\Windows"},
        {"windir", "C:\\Windows"},
        {"ProgramFiles", "C:\\Program Files"},
        {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
        {"ProgramData", "C:\\ProgramData"},
        {"USERPROFILE", "C:\\Users\\Test"},
        {"APPDATA", "C:\\Users\\Test\\AppData\\Roaming"},
        {"LOCALAPPDATA", "C:\\Users\\Test\\AppData\\Local"},
    };
    for (const auto& [name, value] : environment) {
        SetEnvironment(name, value);
    }
}

std::string TSubstituteShell::ExpandEnvironment(const std::string& text) {
    std::lock_guard<std::mutex> guard(FLock);
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            break;
        }
        out += text.substr(at, open - at);
        const auto value = FEnvironment.find(UpperText(text.substr(open + 1, close - open - 1)));
        if (value != FEnvironment.end()) {
            out += value->second;
            at = close + 1;
        } else {
            // Not a variable: its text stays, and its closing "%" may open one.
            out += text.substr(open, close - open);
            at = close;
        }
    }
    return out + text.substr(std::min(at, text.size()));
}

void TSubstituteShell::SetEnvironment(const std::string& name, const std::string& value) {
    std::lock_guard<std::mutex> guard(FLock);
    if (value.empty()) {
        FEnvironment.erase(UpperText(name));
    } else {
        FEnvironment[UpperText(name)] = value;
    }
}

std::string TSubstituteShell::GetSpecialFolderPath(int csidl) {
    std::lock_guard<std::mutex> guard(FLock);
    const auto it = FSpecialFolders.find(csidl);
    return it == FSpecialFolders.end() ? std::string() : it->second;
}

std::string TSubstituteShell::WindowsDirectory() {
    return "C:\\Windows";
}

std::string TSubstituteShell::SystemDirectory() {
    return "C:\\Windows\\System32";
}

TSystemImageLists TSubstituteShell::GetSystemImageLists() {
    return {1, 2};
}

bool TSubstituteShell::ShellFileInfo(const std::string& path, std::uint32_t flags, TShellFileInfo* info) {
    std::lock_guard<std::mutex> guard(FLock);
    *info = TShellFileInfo();
    const bool isFile = FFiles.FileExists(path);
    if (!isFile && !FFiles.DirectoryExists(path)) {
        return false;
    }
    const std::string full = FFiles.FullPathName(path);
    const auto icon = FFileIcons.find(UpperText(full));
    // Files without an icon of their own show the shell's document icon, index 0.
    info->IconIndex = icon == FFileIcons.end() ? 0 : icon->second;
    info->Attributes = isFile ? kFileAttributeArchive : kFileAttributeDirectory;
    info->DisplayName = ExtractFileName(full);
    if ((flags & kShgfiTypeName) != 0) {
        const auto type = FTypeNames.find(UpperText(ExtractFileExt(full)));
        info->TypeName = type != FTypeNames.end() ? type->second
                         : isFile                 ? UpperText(ExtractFileExt(full)).substr(1) + " File"
                                                  : "File folder";
    }
    if ((flags & kShgfiIcon) != 0) {
        info->Icon = static_cast<std::uintptr_t>(0x1000 + info->IconIndex);
        ++FLiveIcons;
    }
    return true;
}

void TSubstituteShell::DestroyIcon(std::uintptr_t icon) {
    std::lock_guard<std::mutex> guard(FLock);
    if (icon != 0) {
        --FLiveIcons;
    }
}

std::string TSubstituteShell::ProgramPath() {
    std::lock_guard<std::mutex> guard(FLock);
    return FProgramPath;
}

int TSubstituteShell::AddResourceIcon(const std::string& resourceName) {
    std::lock_guard<std::mutex> guard(FLock);
    const auto it = FResourceIcons.find(UpperText(resourceName));
    if (it == FResourceIcons.end()) {
        return -1;
    }
    return FNextIcon++; // every call appends another copy, as the real lists do
}

std::string TSubstituteShell::FindOnSearchPath(const std::string& file) {
    if (file.empty()) {
        return {};
    }
    std::vector<std::string> names{file};
    if (ExtractFileExt(file).empty()) {
        names.push_back(file + ".exe");
    }
    std::vector<std::string> folders;
    if (ExtractFilePath(file).empty()) {
        folders = {FFiles.CurrentDirectory(), SystemDirectory(), WindowsDirectory()};
    } else {
        folders = {std::string()};
    }
    for (const std::string& folder : folders) {
        for (const std::string& name : names) {
            const std::string path = folder.empty() ? name : IncludeTrailingBackslash(folder) + name;
            if (FFiles.FileExists(path)) {
                return FFiles.FullPathName(path);
            }
        }
    }
    return {};
}

std::string TSubstituteShell::AssociatedProgram(const std::string& file) {
    const std::string found = FindOnSearchPath(file);
    if (found.empty()) {
        return {};
    }
    const std::string extension = ExtractFileExt(found);
    if (IsProgramExtension(extension)) {
        return found;
    }
    std::lock_guard<std::mutex> guard(FLock);
    const auto it = FAssociations.find(UpperText(extension));
    return it == FAssociations.end() ? std::string() : it->second;
}

void TSubstituteShell::Open(const std::string& target) {
    std::lock_guard<std::mutex> guard(FLock);
    FOpened.push_back(target);
}

bool TSubstituteShell::RunAsAdministrator(const std::string& program, const std::string& parameters) {
    std::lock_guard<std::mutex> guard(FLock);
    if (!FElevationAllowed || !FFiles.FileExists(program)) {
        return false;
    }
    FRunsAsAdministrator.push_back(program + " " + parameters);
    return true;
}

bool TSubstituteShell::IsAdministrator() {
    std::lock_guard<std::mutex> guard(FLock);
    return FAdministrator;
}

std::vector<std::string> TSubstituteShell::RunsAsAdministrator() {
    std::lock_guard<std::mutex> guard(FLock);
    return FRunsAsAdministrator;
}

void TSubstituteShell::SetElevationAllowed(bool allowed) {
    std::lock_guard<std::mutex> guard(FLock);
    FElevationAllowed = allowed;
}

void TSubstituteShell::SetAdministrator(bool administrator) {
    std::lock_guard<std::mutex> guard(FLock);
    FAdministrator = administrator;
}

void TSubstituteShell::ShowProperties(const std::string& path) {
    std::lock_guard<std::mutex> guard(FLock);
    if (FFiles.FileExists(path) || FFiles.DirectoryExists(path)) {
        FPropertiesShown.push_back(path);
    }
}

bool TSubstituteShell::CreateShortcut(const std::string& linkPath, const std::string& target,
                                      const std::string& arguments, const std::string& workingDirectory) {
    return FFiles.WriteFile(linkPath,
                            kLinkMagic + target + "\n" + arguments + "\n" + workingDirectory + "\n");
}

std::string TSubstituteShell::ResolveShortcut(const std::string& linkPath) {
    std::string contents;
    if (!FFiles.ReadFile(linkPath, &contents) || contents.compare(0, 7, kLinkMagic) != 0) {
        return {};
    }
    const auto end = contents.find('\n', 7);
    return contents.substr(7, end == std::string::npos ? std::string::npos : end - 7);
}

std::vector<std::uint8_t> TSubstituteShell::FileVersionInfo(const std::string& path) {
    std::lock_guard<std::mutex> guard(FLock);
    const auto it = FVersionInfo.find(UpperText(FFiles.FullPathName(path)));
    return it == FVersionInfo.end() ? std::vector<std::uint8_t>() : it->second;
}

bool TSubstituteShell::RegeditExport(const std::string& keyName, const std::string& file) {
    std::string bytes;
    return ExportRegFile(FRegistry, keyName, &bytes) && FFiles.WriteFile(file, bytes);
}

bool TSubstituteShell::RegeditImport(const std::string& file) {
    std::string bytes;
    return FFiles.ReadFile(file, &bytes) && ImportRegFile(FRegistry, bytes);
}

void TSubstituteShell::SetSpecialFolder(int csidl, const std::string& path) {
    std::lock_guard<std::mutex> guard(FLock);
    FSpecialFolders[csidl] = path;
}

void TSubstituteShell::SetAssociation(const std::string& extension, const std::string& program) {
    std::lock_guard<std::mutex> guard(FLock);
    FAssociations[UpperText(extension)] = program;
}

void TSubstituteShell::SetFileIcon(const std::string& path, int index) {
    std::lock_guard<std::mutex> guard(FLock);
    FFileIcons[UpperText(FFiles.FullPathName(path))] = index;
}

void TSubstituteShell::SetTypeName(const std::string& extension, const std::string& typeName) {
    std::lock_guard<std::mutex> guard(FLock);
    FTypeNames[UpperText(extension)] = typeName;
}

void TSubstituteShell::SetProgramPath(const std::string& path) {
    std::lock_guard<std::mutex> guard(FLock);
    FProgramPath = path;
}

int TSubstituteShell::LiveIcons() {
    std::lock_guard<std::mutex> guard(FLock);
    return FLiveIcons;
}

void TSubstituteShell::AddIconResource(const std::string& resourceName) {
    std::lock_guard<std::mutex> guard(FLock);
    FResourceIcons[UpperText(resourceName)] = -1;
}

void TSubstituteShell::SetFileVersionInfo(const std::string& path, std::vector<std::uint8_t> data) {
    std::lock_guard<std::mutex> guard(FLock);
    FVersionInfo[UpperText(FFiles.FullPathName(path))] = std::move(data);
}

std::vector<std::string> TSubstituteShell::Opened() {
    std::lock_guard<std::mutex> guard(FLock);
    return FOpened;
}

std::vector<std::string> TSubstituteShell::PropertiesShown() {
    std::lock_guard<std::mutex> guard(FLock);
    return FPropertiesShown;
}

} // namespace cv
