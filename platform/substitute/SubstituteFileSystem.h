// An in-memory file system with Windows' rules: drive letters, names that
// match without regard to case, folders listed in name order, attributes,
// sizes and generated 8.3 short names. Read-only files refuse writes and
// deletes, and any change can be made to fail on demand.
#pragma once

#include "platform/FileSystem.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace cv {

class TSubstituteFileSystem : public IFileSystem {
public:
    TSubstituteFileSystem();
    ~TSubstituteFileSystem() override;

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
    // The files moved to the Recycle Bin, as (full path, contents), in order.
    std::vector<std::pair<std::string, std::string>> Recycled();
    std::string FullPathName(const std::string& path) override;

    // Set-up for tests: folders on the way are created.
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, const std::string& contents = {},
                 std::uint32_t attributes = kFileAttributeArchive);
    bool SetAttributes(const std::string& path, std::uint32_t attributes);
    // A drive letter's kind ("X:"); until set, a drive that holds anything
    // is Local and any other Absent.
    void SetVolumeKind(const std::string& volume, TVolumeKind kind);
    // How often VolumeKind was asked, over all volumes.
    int VolumeQueries();
    // The path and everything below it answer Unknown, as a folder the user
    // may not look into does.
    void SetUnreadable(const std::string& path);

    // Called before every change with its kind ("WriteFile", "RemoveFile",
    // "MovePath", "MakeDirectory", "RemoveEmptyDirectory") and the path it
    // changes; returning true makes it fail.
    using TFault = std::function<bool(const std::string& operation, const std::string& path)>;
    void SetFault(TFault fault);

private:
    struct TNode;
    struct TLocation;

    bool Locate(const std::string& path, TLocation* where) const;
    std::shared_ptr<TNode> Find(const std::string& path) const;
    std::shared_ptr<TNode> AddChild(TNode& folder, const std::string& name, bool isFolder);
    bool Fails(const std::string& operation, const std::string& path) const;

    // Every part of an existing path in its short or its long name.
    std::string PathForm(const std::string& path, bool shortForm);
    mutable std::recursive_mutex FLock;
    std::vector<std::pair<std::string, std::string>> FRecycled;
    std::map<char, std::shared_ptr<TNode>> FDrives;
    std::map<char, TVolumeKind> FVolumeKinds;
    std::vector<std::string> FUnreadable; // full paths, upper case
    int FVolumeQueries = 0;
    std::string FCurrentDirectory = "C:\\";
    TFault FFault;
};

} // namespace cv
