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

    // With refresh, reads the stores anew: HKEY_LOCAL_MACHINE's Run and
    // Run_Hidden, HKEY_CURRENT_USER's, then the current user's Startup
    // folder and its disabled folder, then the all-users ones. A value that
    // is not a string stops the read with ERegistryError; what was read
    // before it stays. Returns Items itself.
    TStartupItems& GetItems(bool refresh);
    void Clear();

    // Saves a new entry (a registry entry for the key stores, a folder entry
    // for any other); it shows up with the next read.
    void AddStartupItem(const std::string& displayName, const std::string& command, TRunFrom runFrom);
    void DeleteStartupItem(TStartupItem& item);
    void HideStartupItem(TStartupItem& item);
    void ShowStartupItem(TStartupItem& item);
    int GetIconIndex(const TStartupItem& item) const;

private:
    void LoadRegistryItems();
    void LoadFolderItems();

    const TPlatform& FPlatform;
    const TFileInfoManager& FFileInfo;
};

} // namespace cv
