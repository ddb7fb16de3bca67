// A file system for host tests that wraps another: it can hold every
// look-up (a disk that does not answer) and counts them.
#pragma once

#include "platform/FileSystem.h"
#include "platform/TextCase.h"

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace cv::test {

// The file system of the substitute, with a gate that holds every look-up
// while it is closed (a disk that does not answer), counting the look-ups
// of each path.
class TGatedFiles : public IFileSystem {
public:
    explicit TGatedFiles(IFileSystem& inner) : FInner(inner) {}
    std::atomic<bool> Closed{false};
    std::atomic<int> Waiting{0};

    bool FileExists(const std::string& path) override {
        Gate(path);
        return FInner.FileExists(path);
    }
    bool DirectoryExists(const std::string& path) override {
        Gate(path);
        return FInner.DirectoryExists(path);
    }
    std::uint32_t GetAttributes(const std::string& path) override {
        Gate(path);
        return FInner.GetAttributes(path);
    }
    TPathState PathState(const std::string& path) override {
        Gate(path);
        return FInner.PathState(path);
    }
    TVolumeKind VolumeKind(const std::string& volume) override {
        Gate(volume);
        return FInner.VolumeKind(volume);
    }
    std::vector<TFoundFile> FindFiles(const std::string& folder, const std::string& mask) override {
        Gate(folder + "|" + mask);
        return FInner.FindFiles(folder, mask);
    }
    bool ReadFile(const std::string& path, std::string* contents) override {
        return FInner.ReadFile(path, contents);
    }
    bool WriteFile(const std::string& path, const std::string& contents) override {
        return FInner.WriteFile(path, contents);
    }
    bool RemoveFile(const std::string& path) override { return FInner.RemoveFile(path); }
    bool MovePath(const std::string& from, const std::string& to, bool replace) override {
        return FInner.MovePath(from, to, replace);
    }
    bool MakeDirectory(const std::string& path) override { return FInner.MakeDirectory(path); }
    bool RemoveEmptyDirectory(const std::string& path) override { return FInner.RemoveEmptyDirectory(path); }
    std::string CurrentDirectory() override { return FInner.CurrentDirectory(); }
    bool ChangeDirectory(const std::string& path) override { return FInner.ChangeDirectory(path); }
    std::string ShortPathName(const std::string& path) override { return FInner.ShortPathName(path); }
    std::string LongPathName(const std::string& path) override { return FInner.LongPathName(path); }
    bool MoveToRecycleBin(const std::string& path) override { return FInner.MoveToRecycleBin(path); }
    std::string FullPathName(const std::string& path) override { return FInner.FullPathName(path); }

    // How often each path (upper case; a folder's files as "folder|mask") was looked up.
    std::map<std::string, int> Asked() {
        std::lock_guard<std::mutex> guard(FLock);
        return FAsked;
    }

    void ResetAsked() {
        std::lock_guard<std::mutex> guard(FLock);
        FAsked.clear();
    }

private:
    void Gate(const std::string& path) {
        {
            std::lock_guard<std::mutex> guard(FLock);
            ++FAsked[UpperText(path)];
        }
        ++Waiting;
        while (Closed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        --Waiting;
    }
    IFileSystem& FInner;
    std::mutex FLock;
    std::map<std::string, int> FAsked;
};

} // namespace cv::test
