// The shell's services: special folders, icons, associations, shortcuts,
// version resources, the Windows folders and the registry editor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cv {

enum : int {
    kCsidlStartup = 7,
    kCsidlCommonStartup = 24,
    kCsidlAppData = 26,
};

// SHGetFileInfo flags the program uses.
enum : std::uint32_t {
    kShgfiLargeIcon = 0x000,
    kShgfiSmallIcon = 0x001,
    kShgfiOpenIcon = 0x002,
    kShgfiIcon = 0x100,
    kShgfiTypeName = 0x400,
    kShgfiSysIconIndex = 0x4000,
};

// What SHGetFileInfo tells of a file. The icon handle, when there is one,
// belongs to the caller, who gives it back through DestroyIcon.
struct TShellFileInfo {
    std::uintptr_t Icon = 0;
    int IconIndex = 0;
    std::uint32_t Attributes = 0;
    std::string DisplayName;
    std::string TypeName;
};

// The shell's system image lists, as opaque handles (HIMAGELIST on Windows).
struct TSystemImageLists {
    std::uintptr_t Large = 0;
    std::uintptr_t Small = 0;
};

class IShell {
public:
    virtual ~IShell() = default;

    // The file-system path of a special folder, without a trailing backslash;
    // empty when the folder has none.
    virtual std::string GetSpecialFolderPath(int csidl) = 0;
    virtual std::string WindowsDirectory() = 0;
    // ExpandEnvironmentStrings: every %NAME% of a variable this process has
    // replaced by its value; other text, unknown names included, stays.
    virtual std::string ExpandEnvironment(const std::string& text) = 0;
    virtual std::string SystemDirectory() = 0;
    // The program's own file.
    virtual std::string ProgramPath() = 0;

    virtual TSystemImageLists GetSystemImageLists() = 0;
    // SHGetFileInfo with these flags; false (and a zero record) when the
    // shell cannot describe the file.
    virtual bool ShellFileInfo(const std::string& path, std::uint32_t flags, TShellFileInfo* info) = 0;
    virtual void DestroyIcon(std::uintptr_t icon) = 0;
    // Appends the program's icon resource of that name to both system image
    // lists; the index is valid in both, -1 when it could not be added.
    virtual int AddResourceIcon(const std::string& resourceName) = 0;

    // FindExecutable: the program that opens the file, empty when none.
    virtual std::string AssociatedProgram(const std::string& file) = 0;
    // ShellExecute "open" and the "properties" verb; results are not reported.
    virtual void Open(const std::string& target) = 0;
    virtual void ShowProperties(const std::string& path) = 0;

    // Writes a .lnk file; false when it could not be saved.
    virtual bool CreateShortcut(const std::string& linkPath, const std::string& target,
                                const std::string& arguments, const std::string& workingDirectory) = 0;
    // The target stored in a .lnk file, not resolved against moved targets;
    // empty when the file is not a shortcut.
    virtual std::string ResolveShortcut(const std::string& linkPath) = 0;

    // The whole version resource of a file; empty when it has none.
    virtual std::vector<std::uint8_t> FileVersionInfo(const std::string& path) = 0;

    // Starts a program through the "runas" verb, for which the system asks
    // the user for administrator rights; false when it did not start (the
    // user said no, say).
    virtual bool RunAsAdministrator(const std::string& program, const std::string& parameters) = 0;
    // Whether this program runs with administrator rights.
    virtual bool IsAdministrator() = 0;

    // The registry editor: "/e" writes the key (full name, such as
    // "HKEY_LOCAL_MACHINE\SOFTWARE\...") with its subtree to a .reg file,
    // "/s" merges a .reg file into the registry without asking. True when the
    // editor ran and, for an export, the file was written.
    virtual bool RegeditExport(const std::string& keyName, const std::string& file) = 0;
    virtual bool RegeditImport(const std::string& file) = 0;
};

} // namespace cv
