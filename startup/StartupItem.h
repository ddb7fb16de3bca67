// One program that Windows starts at logon, and every change that concerns
// it: hide it in its store's disabled twin, show it again, delete it, or save
// a new one. Registry entries live in the Run keys (disabled: Run_Hidden),
// folder entries are files in the Startup folders (disabled: "Disabled
// Startup" beside them).
#pragma once

#include "app/DeletedStore.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "startup/StartupApproved.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

// The entry's store. The numbers are also the items of the new-entry
// dialog's choice list, so any other number means "no choice".
enum class TRunFrom : std::uint8_t {
    rfAllUsersFolder = 0,
    rfCurrentUserFolder = 1,
    rfAllUsersKey = 2,
    rfCurrentUserKey = 3,
};

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunHiddenKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run_Hidden";
inline constexpr const char* kDisabledStartup = "Disabled Startup";

// The "Disabled Startup" folder beside a Startup folder.
std::string DisabledFolderOf(const std::string& startupFolder);
// The Startup folder of a folder store, empty for any other store or when
// the shell knows none.
std::string StartupFolderOf(const TPlatform& platform, TRunFrom runFrom);

class TStartupItem {
public:
    explicit TStartupItem(const TPlatform& platform) : FPlatform(&platform) {}
    virtual ~TStartupItem() = default;

    std::string DisplayName;
    std::string FilePath;
    TRunFrom RunFrom = TRunFrom::rfAllUsersFolder;
    std::string Command;
    // The state the entry is to have; ApplyState writes it.
    bool Enabled = false;
    // Where the entry stands now: in its store's disabled twin or not. Set by
    // the read and kept current by every move, so a second move, or a
    // delete, finds the entry where it is.
    bool Parked = false;
    // Switched off by Windows' own record (its Task Manager's switch): the
    // entry does not run, whichever store it stands in. Read with the entry;
    // Show clears it.
    bool OffInWindows = false;
    // When Windows switched it off, a FILETIME in UTC; 0 when not recorded.
    std::uint64_t OffInWindowsSince = 0;

    // A move onto an entry of the same name in the other store is refused
    // with EStartupError and writes nothing; an entry already where it is
    // sent stays as it is.
    virtual void Hide() {}
    virtual void Show() {}
    // Throws when the entry is still there afterwards.
    virtual void Delete() {}
    // Keeps copies in the store of what Delete would remove: the entry and
    // Windows' record of it. EBackupError when a copy cannot be kept.
    virtual std::vector<TDeletedEntry> SaveCopy(TDeletedStore&) const { return {}; }
    // Refuses, with EStartupError, a name either store already holds.
    virtual void Save() {}
    // What Save would refuse, refused the same way, without writing anything.
    virtual void CheckSave() const {}
    // Show when Enabled, else Hide.
    void ApplyState();
    // Where Windows keeps the entry's record; none for an entry without a
    // store.
    virtual std::optional<TApprovedPlace> ApprovedPlace() const { return std::nullopt; }
    // OffInWindows and its time from the entry's record.
    void ReadApproved();

protected:
    const TPlatform& Platform() const { return *FPlatform; }
    // The record set to "on" once the entry runs again; prepared before the
    // entry moves.
    TApprovedChange PrepareSwitchOn() const;
    // The record deleted with the entry, unless another entry of its name
    // still stands in the other store and keeps it.
    TApprovedChange PrepareRemove(bool twinRemains) const;
    void SwitchedOn();
    // Adds to the copies one of Windows' record of the entry, when it has one.
    void SaveRecordCopy(TDeletedStore& store, std::vector<TDeletedEntry>& copies) const;

private:
    const TPlatform* FPlatform;
};

class TRegistryStartupItem : public TStartupItem {
public:
    using TStartupItem::TStartupItem;

    // The value as it was read, so moving it between Run and Run_Hidden
    // keeps its type: an expandable command must stay expandable to run.
    std::optional<TRegRawValue> Value;
    // The registry view of its key (HKEY_LOCAL_MACHINE's 32-bit programs
    // have their own); every move and delete stays in it.
    TRegView View = kRegViewNative;

    void Hide() override;
    void Show() override;
    void Delete() override;
    std::vector<TDeletedEntry> SaveCopy(TDeletedStore& store) const override;
    void Save() override;
    void CheckSave() const override;
    std::optional<TApprovedPlace> ApprovedPlace() const override;

    // The key the entry stands in now, from its root, as the registry
    // editor shows it.
    std::string KeyText() const;

private:
    HKey Root() const;
    // A reader, or a writer, of the entry's root and view.
    TRegistry Reader() const;
    TRegistry Writer() const;
    // Opens the key for writing (creating it when asked); a refusal throws
    // ERightsError or ERegistryError naming the key.
    void OpenForWriting(TRegistry& reg, const char* key, bool create) const;
    // Writes the entry into its Run key or Run_Hidden (created when
    // missing) and removes it from the other; stops with the registry's
    // error when the write fails.
    void Move(bool park);
    TRegRawValue Data() const;
};

class TFolderStartupItem : public TStartupItem {
public:
    using TStartupItem::TStartupItem;

    // Each throws EStartupError, and changes nothing, when the entry has no
    // Startup folder (no store chosen), when a typed name is not a plain file
    // name, or when the entry's file lies outside its Startup folders.
    void Hide() override;
    void Show() override;
    void Delete() override;
    std::vector<TDeletedEntry> SaveCopy(TDeletedStore& store) const override;
    void Save() override;
    void CheckSave() const override;
    // Named as the file, under the root of the entry's Startup folder.
    std::optional<TApprovedPlace> ApprovedPlace() const override;

private:
    void Move(bool park);
    // Refuses, with EStartupError, a file or Startup folder that is a
    // junction or a symbolic link: a move or delete through it would reach
    // beyond the Startup folders.
    void CheckNoLinks(const std::string& folder) const;
    // The Startup folder, or EStartupError when there is none.
    std::string Folder() const;
    // The file's name, or EStartupError when FilePath is not in folder or
    // its disabled twin.
    std::string OwnFileName(const std::string& folder) const;
};

// A name the user typed for a folder entry must be a file name and nothing
// more; throws EStartupError when it is not.
void CheckStartupName(const std::string& name);
// A name of nothing but blanks names nothing.
bool IsBlankName(const std::string& name);
// A typed command as the program it starts and its arguments: a quoted
// program, or else the longest run of its words that names a file; the
// whole text when none does.
struct TCommandParts {
    std::string Program;
    std::string Arguments;
};
TCommandParts SplitCommand(const TPlatform& platform, const std::string& command);
// Whether a value of the type is read as a command (a string, expandable or not).
bool IsCommandType(std::uint32_t type);

} // namespace cv
