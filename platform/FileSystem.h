// Files and folders, with the results of the Win32 calls they stand for.
// Paths are UTF-8 Windows paths; a relative path is taken from the current
// directory. Failures show only in the results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cv {

enum : std::uint32_t {
    kFileAttributeReadOnly = 0x01,
    kFileAttributeHidden = 0x02,
    kFileAttributeSystem = 0x04,
    kFileAttributeDirectory = 0x10,
    kFileAttributeArchive = 0x20,
    kFileAttributeNormal = 0x80,
    // A junction or a symbolic link: the path leads somewhere else.
    kFileAttributeReparsePoint = 0x400,
    // GetAttributes' answer for a path it could not ask about.
    kNoAttributes = 0xFFFFFFFF,
};

// What the file system answers when asked for a path.
enum class TPathState : std::uint8_t {
    File,
    Folder,
    Missing, // "file not found" or "path not found"
    Unknown, // any other answer: no rights, a name it refuses, a device or server that did not answer
};

// The kind of a volume: a drive ("C:") or a share ("\\server\share").
enum class TVolumeKind : std::uint8_t {
    Local,       // a fixed or RAM disk that is there
    Network,     // a share, or a drive letter mapped to one
    Substituted, // a drive letter standing for a folder of another drive
    Removable,   // a removable disk or a CD drive, whatever it holds now
    Absent,      // no such drive
    Unknown,
};

struct TFoundFile {
    std::string Name; // the entry's name inside the folder, no path
    std::uint32_t Attributes = 0;
    std::uint64_t Size = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // True for an existing file, false for a folder or nothing.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool DirectoryExists(const std::string& path) = 0;
    // GetFileAttributes: the path's own attributes (a link's, not what it
    // leads to), kNoAttributes when there is nothing or it cannot be asked.
    virtual std::uint32_t GetAttributes(const std::string& path) = 0;
    // GetFileAttributes and the error it gives; an empty path is Unknown.
    virtual TPathState PathState(const std::string& path) = 0;
    // The volume "X:" or "\\server\share" (a share is Network without a
    // question); anything else is Unknown. Asking a drive letter can take
    // as long as the device behind it needs to answer.
    virtual TVolumeKind VolumeKind(const std::string& volume) = 0;
    // FindFirstFile/FindNextFile over folder\mask ("*" and "?" wildcards),
    // "." and ".." left out, in the order the file system lists them.
    virtual std::vector<TFoundFile> FindFiles(const std::string& folder, const std::string& mask) = 0;
    virtual bool ReadFile(const std::string& path, std::string* contents) = 0;
    // Creates or truncates the file and writes the contents.
    virtual bool WriteFile(const std::string& path, const std::string& contents) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // MoveFileEx; with replace an existing target is overwritten in one step.
    virtual bool MovePath(const std::string& from, const std::string& to, bool replace) = 0;
    virtual bool MakeDirectory(const std::string& path) = 0;
    virtual bool RemoveEmptyDirectory(const std::string& path) = 0;
    virtual std::string CurrentDirectory() = 0;
    virtual bool ChangeDirectory(const std::string& path) = 0;
    // GetShortPathName: the 8.3 form of an existing path, empty when it does not exist.
    virtual std::string ShortPathName(const std::string& path) = 0;
    // GetLongPathName: every part of an existing path in its long form, empty
    // when it does not exist.
    virtual std::string LongPathName(const std::string& path) = 0;
    // Moves a file or folder to the Recycle Bin (the user can take it back),
    // without asking; false when it is still where it was.
    virtual bool MoveToRecycleBin(const std::string& path) = 0;
    // GetFullPathName: an absolute path without "." and ".." parts.
    virtual std::string FullPathName(const std::string& path) = 0;
};

} // namespace cv
