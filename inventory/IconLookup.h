// One icon cycle's look at the entries: whether each one's files are gone,
// and the image that stands for it. Every distinct path goes to the file
// system once (the entry looked at asks its own questions through the same
// answers) and every distinct icon file to the shell once, both compared
// without case, and each volume is asked about once. Made for one cycle and
// used on one thread.
#pragma once

#include "inventory/CachedFiles.h"
#include "inventory/FileCheck.h"

#include <string>
#include <unordered_map>

namespace cv {

class TUninstallManager;
class TFileInfoManager;

class TIconLookup {
public:
    TIconLookup(const TUninstallManager& inventory, const TPlatform& platform,
                const TFileInfoManager& fileInfo);
    TIconLookup(const TIconLookup&) = delete;
    TIconLookup& operator=(const TIconLookup&) = delete;

    struct TLook {
        bool Bad = false;
        int Image = -1;
    };
    // An application's entry (a copy: its bad mark is set on it, and it asks
    // its questions about files through this lookup from now on).
    TLook Look(TUninstallItem& entry);

    // What reached the file system and the shell so far.
    int FilesAsked() const { return FFiles.Asked(); }
    int IconsAsked() const { return static_cast<int>(FIcons.size()); }

private:
    const TUninstallManager& FInventory;
    const TFileInfoManager& FFileInfo;
    TCachedFiles FFiles;
    TPlatform FPlatform; // the inventory's, with the cached file system
    TFileCheck FCheck;
    std::unordered_map<std::string, int> FIcons; // upper-case icon file: its image
};

} // namespace cv
