// The file system as one pass over many entries sees it: every question
// about a path (its state, whether a file or folder is there, a folder's
// files, a volume's kind) goes to the real file system once and is answered
// from memory after that, paths compared without case. A change made through
// it forgets every answer. Belongs to one thread.
#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace cv {

class TCachedFiles : public IFileSystem {
public:
    explicit TCachedFiles(IFileSystem& inner) : FInner(inner) {}

    bool FileExists(const std::string& path) override { return PathState(path) == TPathState::File; }
    bool DirectoryExists(const std::string& path) override { return PathState(path) == TPathState::Folder; }
    std::uint32_t GetAttributes(const std::string& path) override;
    TPathState PathState(const std::string& path) override;
    TVolumeKind VolumeKind(const std::string& volume) override;
    std::vector<TFoundFile> FindFiles(const std::string& folder, const std::string& mask) override;

    bool ReadFile(const std::string& path, std::string* contents) override {
        return FInner.ReadFile(path, contents);
    }
    bool WriteFile(const std::string& path, const std::string& contents) override;
    bool RemoveFile(const std::string& path) override;
    bool MovePath(const std::string& from, const std::string& to, bool replace) override;
    bool MakeDirectory(const std::string& path) override;
    bool RemoveEmptyDirectory(const std::string& path) override;
    std::string CurrentDirectory() override { return FInner.CurrentDirectory(); }
    bool ChangeDirectory(const std::string& path) override;
    std::string ShortPathName(const std::string& path) override { return FInner.ShortPathName(path); }
    std::string LongPathName(const std::string& path) override { return FInner.LongPathName(path); }
    bool MoveToRecycleBin(const std::string& path) override;
    std::string FullPathName(const std::string& path) override { return FInner.FullPathName(path); }

    // How many questions reached the real file system.
    int Asked() const { return FAsked; }

private:
    void Forget();

    IFileSystem& FInner;
    std::unordered_map<std::string, TPathState> FStates;
    std::unordered_map<std::string, std::uint32_t> FAttributes;
    std::unordered_map<std::string, TVolumeKind> FVolumes;
    std::map<std::pair<std::string, std::string>, std::vector<TFoundFile>> FFolders;
    int FAsked = 0;
};

} // namespace cv
