// Whether an entry's application is gone. An entry is gone only when the
// file system said "not found" for each of its paths on a local disk that is
// there. Anything less certain (a share, a mapped, substituted, removable or
// missing drive, a refusal, a name the system will not take) leaves the
// entry alone: deleting an entry whose files merely could not be reached
// now would lose an application for good.
#pragma once

#include "inventory/UninstallItem.h"

#include <map>
#include <string>

namespace cv {

// What the check found for a path or for a whole entry.
enum class TFilesState : std::uint8_t {
    Present, // something is there
    Gone,    // known to be missing
    Unknown, // could not be told
};

// The icon file of a DisplayIcon value: the text before a comma only when
// an icon index ("0", "-101") follows it, without quotes or outer blanks.
std::string IconFilePath(const std::string& displayIcon);
// A path as written in a value, without quotes or outer blanks.
std::string CleanPath(const std::string& text);
// The volume a path lies on: "X:" for a drive path, "\\server\share" for a
// network path (also in their "\\?\" forms); empty for a relative path or
// a bare name, which lie on no volume of their own.
std::string VolumeOf(const std::string& path);

// One scan's look at the disk. Each volume is asked once, so a server that
// does not answer costs one wait, not one per entry. Belongs to one thread.
class TFileCheck {
public:
    explicit TFileCheck(const TPlatform& platform) : FPlatform(platform) {}

    // One path: environment variables expanded, quotes removed.
    TFilesState PathState(const std::string& path);
    // The program the uninstall command starts.
    TFilesState ProgramState(const std::string& commandLine);
    // The entry's program, icon file and install folder: Gone when each of
    // those it names is gone, Present when any is there.
    TFilesState EntryState(const TUninstallItem& item);
    bool IsGone(const TUninstallItem& item) { return EntryState(item) == TFilesState::Gone; }

private:
    bool OnLocalDisk(const std::string& path);

    const TPlatform& FPlatform;
    std::map<std::string, bool> FLocal; // upper-case volume: a local disk that is there
};

} // namespace cv
