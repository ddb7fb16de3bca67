// The inventory of installed applications: every uninstall entry of
// HKEY_LOCAL_MACHINE (both views on 64-bit Windows) and HKEY_CURRENT_USER, their counts, deletion, the
// applications' own uninstallers, and the record of the names seen at the
// last run.
#pragma once

#include "inventory/FileCheck.h"
#include "inventory/FileInfoManager.h"
#include "inventory/IconLookup.h"
#include "inventory/UninstallItem.h"

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cv {

using TUninstallItems = std::vector<std::pair<std::string, std::unique_ptr<TUninstallItem>>>;
using TUninstallItemRefs = std::vector<std::pair<std::string, TUninstallItem*>>;

inline constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kNamesFile = "lastuninstall.dat";
// GetApplicationFile's answers when an entry has no file to take an icon from.
inline constexpr const char* kInstallMarker = "INSTALL";
inline constexpr const char* kRubbishMarker = "RUBBISH";

class TUninstallManager {
public:
    // Appends the program's own icons, "Z_INSTALL" and "Z_RUBBISH", to the
    // system image lists.
    TUninstallManager(const TPlatform& platform, const TFileInfoManager& fileInfo);
    ~TUninstallManager();
    TUninstallManager(const TUninstallManager&) = delete;
    TUninstallManager& operator=(const TUninstallManager&) = delete;

    // Every entry of the last refresh, in enumeration order (HKEY_LOCAL_MACHINE
    // 64-bit, then 32-bit, then HKEY_CURRENT_USER); owns them. Equal names give separate pairs.
    TUninstallItems Items;
    std::vector<std::string> LastNames;
    TUninstallItemRefs BadItems;
    std::uintptr_t LargeImages = 0;
    std::uintptr_t SmallImages = 0;
    int InstallIconIndex = -1;
    int RubbishIconIndex = -1;
    int AppCount = 0;
    int BadCount = 0;
    bool HasNew = false;

    // Re-reads both roots. Every earlier entry is freed first.
    TUninstallItems& Refresh();
    void Clear();

    // Deletes the entry's key with its subkeys, in the entry's view, and
    // frees the entry. A copy of the key goes into the store of deleted
    // entries first; when none can be kept, EBackupError says why and the
    // key stays. When the key stays (the registry refused) the entry
    // stays listed and ERightsError or ERegistryError names the key.
    void DeleteEntry(TUninstallItem* item);
    // Deletes the entry's key alone, keeping the entry; throws as DeleteEntry
    // does. A key that is gone already is no error.
    void DeleteEntryKey(const TUninstallItem& item) const;
    // Frees the entry and leaves the registry alone: for an entry whose key
    // DeleteEntryKey has deleted. Pointers not of the inventory are ignored.
    void ForgetEntry(TUninstallItem* item);
    bool EntryExists(const TUninstallItem& item) const;

    // Starts the entry's uninstaller (StartCommand); false, with the reason
    // in *error when one is given, when it did not start.
    bool RunUninstaller(const TUninstallItem& item, TStartError* error = nullptr);
    // The same, keeping the uninstaller and every process it starts in view
    // (UninstallerRuns); null when it did not start.
    std::unique_ptr<IProcess> StartUninstaller(const TUninstallItem& item, TStartError* error = nullptr);
    // The uninstaller or a process it started is still running. The
    // system reports a tree's end a moment after its last process ended,
    // so that moment is waited for.
    bool UninstallerRuns(IProcess& process) const;
    static constexpr std::uint32_t kTreeEndGrace = 250;
    // Returns when the uninstaller and every process it started have ended;
    // window messages keep being handled meanwhile.
    bool RunUninstallerAndWait(const TUninstallItem& item, TStartError* error = nullptr);

    // The record of the names seen at the last run; kNamesFile in the
    // current directory until the program says where it lives.
    void SetNamesFile(std::string fileName) { FNamesFile = std::move(fileName); }
    // Where copies of deleted keys are kept; the user's own store unless set.
    void SetDeletedFolder(std::string folder) { FDeletedFolder = std::move(folder); }
    const std::string& NamesFile() const { return FNamesFile; }
    void LoadLastNames() { LoadLastNames(FNamesFile); }
    void SaveNames() { SaveNames(FNamesFile); }

    void LoadLastNames(const std::string& fileName);
    void MarkNewEntries();
    // Writes the names of Items, one per CR LF line (a CR or LF inside a
    // name written as a blank, and compared so by MarkNewEntries), replacing
    // the file in one step; throws EFileError "Cannot create file %s" and leaves the old
    // file as it was when that cannot be done.
    void SaveNames(const std::string& fileName);

    // File checks touch the disk; while they are off, refreshes and icons
    // look at the registry only.
    void SetCheckFiles(bool check) { FCheckFiles = check; }
    bool CheckFiles() const { return FCheckFiles; }
    // The entry's program, icon file and install folder are each known to
    // be gone (TFileCheck); one check serves a whole scan.
    bool IsEntryGone(const TUninstallItem& item, TFileCheck& check) const { return check.IsGone(item); }
    bool IsEntryGone(const TUninstallItem& item) const;
    TFileCheck MakeFileCheck() const { return TFileCheck(FPlatform); }
    // Marks the applications that are gone as bad and lists them.
    void FindBadEntries();
    // Marks exactly these entries bad (the applications among them) and
    // lists them in inventory order; pointers to entries the inventory no
    // longer holds are only compared, never followed.
    void SetBadEntries(const std::vector<const TUninstallItem*>& bad);
    // The bad entries Autofix offers: all but those Windows hides as parts
    // of other products, which are theirs to remove.
    TUninstallItemRefs AutofixItems() const;

    // What reading the entry's key again just before a delete tells.
    enum class TRecheck : std::uint8_t {
        Unchanged,
        KeyGone,   // nothing left to delete
        Changed,   // its values changed since the list was read (or it cannot be read now)
        FilesBack, // a bad entry whose files are there again
    };
    TRecheck RecheckEntry(const TUninstallItem& item, TFileCheck& check) const;

    // The file whose icon stands for the entry, or kInstallMarker when it has
    // none of its own, or kRubbishMarker when it is bad; looked for on the
    // inventory's platform or on the one given.
    std::string GetApplicationFile(const TUninstallItem& item) const {
        return GetApplicationFile(item, FPlatform);
    }
    std::string GetApplicationFile(const TUninstallItem& item, const TPlatform& platform) const;
    // A look at the disk and the shell for one icon cycle (see TIconLookup).
    std::unique_ptr<TIconLookup> MakeIconLookup() const {
        return std::make_unique<TIconLookup>(*this, FPlatform, FFileInfo);
    }
    // The entry's index in both system image lists.
    int GetIconIndex(const TUninstallItem& item) const;

private:
    void ReadRoot(HKey root, TRegView view);
    std::unique_ptr<TUninstallItem> ReadEntry(HKey root, TRegView view, const std::string& keyPath);

    const TPlatform& FPlatform;
    const TFileInfoManager& FFileInfo;
    std::atomic<bool> FCheckFiles{false};
    std::string FNamesFile = kNamesFile;
    std::string FDeletedFolder;
};

} // namespace cv
