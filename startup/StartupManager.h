// Every startup entry of the four stores and their disabled twins, read in a
// fixed order, and the one door through which the startup page changes them.
#pragma once

#include "inventory/FileInfoManager.h"
#include "startup/StartupItem.h"

#include <memory>
#include <vector>

namespace cv {

using TStartupItems = std::vector<std::unique_ptr<TStartupItem>>;

class TStartupManager {
public:
    TStartupManager(const TPlatform& platform, const TFileInfoManager& fileInfo);

    // In reading order; owned here until the next refreshing read.
    TStartupItems Items;
    // The values of the last read that hold no command (a number in a Run
    // key, say), as "HKEY_...\\key\\name"; the rest of the stores is read.
    std::vector<std::string> Skipped;

    // With refresh, reads the stores anew: HKEY_LOCAL_MACHINE's Run and
    // Run_Hidden (the 64-bit view's, then the 32-bit view's on 64-bit
    // Windows), HKEY_CURRENT_USER's, then the current user's Startup
    // folder and its disabled folder, then the all-users ones. Returns
    // Items itself.
    TStartupItems& GetItems(bool refresh);
    void Clear();

    // Saves a new entry (a registry entry for the key stores, a folder entry
    // for any other); it shows up with the next read.
    void AddStartupItem(const std::string& displayName, const std::string& command, TRunFrom runFrom);
    // Throws the EStartupError AddStartupItem would, writing nothing.
    void CheckNewStartupItem(const std::string& displayName, const std::string& command,
                             TRunFrom runFrom) const;
    // Deletes the entry once a copy of it is kept in the store of deleted
    // entries; when none can be kept, EBackupError says why and the entry stays.
    void DeleteStartupItem(TStartupItem& item);
    // Where the copies are kept; the user's own store unless set.
    void SetDeletedFolder(std::string folder) { FDeletedFolder = std::move(folder); }
    void HideStartupItem(TStartupItem& item);
    void ShowStartupItem(TStartupItem& item);
    int GetIconIndex(const TStartupItem& item) const;

private:
    std::unique_ptr<TStartupItem> NewItem(const std::string& displayName, const std::string& command,
                                          TRunFrom runFrom) const;
    // Reads the entry's record in Windows and lists it.
    void Append(std::unique_ptr<TStartupItem> item);
    void LoadRegistryItems();
    void LoadFolderItems();

    const TPlatform& FPlatform;
    const TFileInfoManager& FFileInfo;
    std::string FDeletedFolder;
};

} // namespace cv
