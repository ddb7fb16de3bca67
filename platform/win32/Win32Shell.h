// The shell's services over the real Windows shell.
#pragma once

#include "platform/Shell.h"

namespace cv {

class TWin32Shell : public IShell {
public:
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

private:
    // Runs the registry editor and waits; needsElevation tells a start the
    // system refused because the editor wants an administrator's rights.
    bool RunRegedit(const std::wstring& arguments, bool* needsElevation);
};

} // namespace cv
