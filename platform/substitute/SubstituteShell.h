// The shell for host tests: answers that a test sets up (special folders,
// associations, icons, version resources), shortcuts kept as small files in
// the substitute file system, and the registry editor working on the
// substitute registry in the real editor's file format.
#pragma once

#include "platform/Shell.h"
#include "platform/substitute/SubstituteFileSystem.h"
#include "platform/substitute/SubstituteRegistry.h"

#include <map>
#include <mutex>

namespace cv {

class TSubstituteShell : public IShell {
public:
    TSubstituteShell(TSubstituteRegistry& registry, TSubstituteFileSystem& files);

    std::string GetSpecialFolderPath(int csidl) override;
    std::string WindowsDirectory() override;
    std::string ExpandEnvironment(const std::string& text) override;
    std::string SystemDirectory() override;
    TSystemImageLists GetSystemImageLists() override;
    bool ShellFileInfo(const std::string& path, std::uint32_t flags, TShellFileInfo* info) override;
    void DestroyIcon(std::uintptr_t icon) override;
    std::string ProgramPath() override;
    int AddResourceIcon(const std::string& resourceName) override;
    std::string AssociatedProgram(const std::string& file) override;
    void Open(const std::string& target) override;
    void ShowProperties(const std::string& path) override;
    bool RunAsAdministrator(const std::string& program, const std::string& parameters) override;
    bool IsAdministrator() override;
    bool CreateShortcut(const std::string& linkPath, const std::string& target, const std::string& arguments,
                        const std::string& workingDirectory) override;
    std::string ResolveShortcut(const std::string& linkPath) override;
    std::vector<std::uint8_t> FileVersionInfo(const std::string& path) override;
    bool RegeditExport(const std::string& keyName, const std::string& file) override;
    bool RegeditImport(const std::string& file) override;

    // Set-up.
    void SetSpecialFolder(int csidl, const std::string& path);
    void SetAssociation(const std::string& extension, const std::string& program);
    void SetFileIcon(const std::string& path, int index);
    void SetTypeName(const std::string& extension, const std::string& typeName);
    void SetProgramPath(const std::string& path);
    // An environment variable; an empty value takes it away. SystemRoot,
    // windir, ProgramFiles, ProgramFiles(x86), ProgramData, USERPROFILE,
    // APPDATA and LOCALAPPDATA are there from the start.
    void SetEnvironment(const std::string& name, const std::string& value);
    // Icons handed out and not yet destroyed.
    int LiveIcons();
    void AddIconResource(const std::string& resourceName);
    void SetFileVersionInfo(const std::string& path, std::vector<std::uint8_t> data);

    // What the program asked the shell to open.
    std::vector<std::string> Opened();
    std::vector<std::string> PropertiesShown();
    // Every start as administrator, as "program parameters"; whether the
    // user lets the next one through, and whether this run has the rights.
    std::vector<std::string> RunsAsAdministrator();
    void SetElevationAllowed(bool allowed);
    void SetAdministrator(bool administrator);

    // Where a file name without a folder is looked for, as Windows searches:
    // the current folder, the system folder, the Windows folder. Empty when
    // not found; a name without extension is tried with ".exe" too.
    std::string FindOnSearchPath(const std::string& file);

private:
    TSubstituteRegistry& FRegistry;
    TSubstituteFileSystem& FFiles;
    std::mutex FLock;
    std::map<int, std::string> FSpecialFolders;
    std::map<std::string, std::string> FAssociations; // upper-case extension
    std::map<std::string, int> FFileIcons;            // upper-case full path
    std::map<std::string, std::string> FTypeNames;    // upper-case extension
    std::string FProgramPath = "C:\\Program Files\\Clearvane\\clearvane.exe";
    int FLiveIcons = 0;
    std::map<std::string, int> FResourceIcons; // upper-case name, -1 until added
    std::map<std::string, std::vector<std::uint8_t>> FVersionInfo;
    std::map<std::string, std::string> FEnvironment; // upper-case name
    std::vector<std::string> FOpened;
    std::vector<std::string> FPropertiesShown;
    std::vector<std::string> FRunsAsAdministrator;
    bool FElevationAllowed = true;
    bool FAdministrator = false;
    int FNextIcon = 100;
};

bool IsProgramExtension(const std::string& extension);

} // namespace cv
