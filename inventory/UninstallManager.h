// The inventory of installed applications: every uninstall entry of
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, their counts, deletion, the
// applications' own uninstallers, and the record of the names seen at the
// last run.
#pragma once

#include "inventory/UninstallItem.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cv {

using TUninstallItems = std::vector<std::pair<std::string, std::unique_ptr<TUninstallItem>>>;
using TUninstallItemRefs = std::vector<std::pair<std::string, TUninstallItem*>>;

inline constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kNamesFile = "lastuninstall.dat";

class TUninstallManager {
public:
    explicit TUninstallManager(const TPlatform& platform);
    ~TUninstallManager();
    TUninstallManager(const TUninstallManager&) = delete;
    TUninstallManager& operator=(const TUninstallManager&) = delete;

    // Every entry of the last refresh, in enumeration order (HKEY_LOCAL_MACHINE
    // first); owns them. Equal names give separate pairs.
    TUninstallItems Items;
    std::vector<std::string> LastNames;
    TUninstallItemRefs BadItems;
    int AppCount = 0;
    int BadCount = 0;
    bool HasNew = false;

    // Re-reads both roots. Every earlier entry is freed first.
    TUninstallItems& Refresh();
    void Clear();

    // Deletes the entry's key with its subkeys and frees the entry; it leaves
    // the inventory even when the registry refused.
    void DeleteEntry(TUninstallItem* item);
    bool EntryExists(const TUninstallItem& item) const;

    void RunUninstaller(const TUninstallItem& item);
    // Returns when the uninstaller and every process it started have ended;
    // window messages keep being handled meanwhile.
    void RunUninstallerAndWait(const TUninstallItem& item);

    void LoadLastNames(const std::string& fileName);
    void MarkNewEntries();
    // Writes the names of Items, one per CR LF line, replacing the file in
    // one step; throws EFileError "Cannot create file %s" and leaves the old
    // file as it was when that cannot be done.
    void SaveNames(const std::string& fileName);

    void SetCheckFiles(bool check) { FCheckFiles = check; }
    bool CheckFiles() const { return FCheckFiles; }

private:
    void ReadRoot(HKey root);
    std::unique_ptr<TUninstallItem> ReadEntry(HKey root, const std::string& keyPath);

    const TPlatform& FPlatform;
    bool FCheckFiles = false;
};

} // namespace cv
