// Files and folders over the Win32 file functions. Paths of any length work:
// long absolute paths are passed in their "\\?\" form.
#pragma once

#include "platform/FileSystem.h"

namespace cv {

class TWin32FileSystem : public IFileSystem {
public:
    bool FileExists(const std::string& path) override;
    bool DirectoryExists(const std::string& path) override;
    std::uint32_t GetAttributes(const std::string& path) override;
    TPathState PathState(const std::string& path) override;
    TVolumeKind VolumeKind(const std::string& volume) override;
    std::vector<TFoundFile> FindFiles(const std::string& folder, const std::string& mask) override;
    bool ReadFile(const std::string& path, std::string* contents) override;
    bool WriteFile(const std::string& path, const std::string& contents) override;
    bool RemoveFile(const std::string& path) override;
    bool MovePath(const std::string& from, const std::string& to, bool replace) override;
    bool MakeDirectory(const std::string& path) override;
    bool RemoveEmptyDirectory(const std::string& path) override;
    std::string CurrentDirectory() override;
    bool ChangeDirectory(const std::string& path) override;
    std::string ShortPathName(const std::string& path) override;
    std::string LongPathName(const std::string& path) override;
    bool MoveToRecycleBin(const std::string& path) override;
    std::string FullPathName(const std::string& path) override;
};

// Win32 text of a path, in its "\\?\" form when it is too long for the
// plain one.
std::wstring ApiPath(const std::string& path);

} // namespace cv
