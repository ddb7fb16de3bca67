// Copies of everything the program deletes, kept in the user's application
// data folder so a delete can be taken back: an uninstall key with its
// subkeys, a startup entry's Run value, a Startup folder's file. Each copy
// is two files named alike: the data (a registry file in the editor's format,
// or the file itself) and a record of what it was, where, and when it went.
#pragma once

#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/RegistryApi.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cv {

enum class TDeletedKind { Key, Value, File };

struct TDeletedEntry {
    std::string Id; // the files' common name, without extension
    TDeletedKind Kind = TDeletedKind::Key;
    std::string Name;         // the name the user knew it by
    std::int64_t Deleted = 0; // seconds since 1970, UTC
    HKey Root = 0;
    TRegView View = kRegViewNative;
    std::string KeyPath;   // a key's, or a value's key, as opened in the view
    std::string ValueName; // a value's
    std::string FilePath;  // a file's, where it stood
};

// Where it was, as the user would look for it: the key as the registry
// editor shows it, or the file's path.
std::string DeletedWhere(const TDeletedEntry& entry);
// A long place shortened for a list: its first part, "...", and its last
// two parts, as "HKEY_CURRENT_USER\...\Uninstall\Tool"; a short one as it is.
std::string ShortWhere(const std::string& where, std::size_t longest = 48);
// Where it was, shortened for the list; a key of the machine's 32-bit view
// says so, since the shortening leaves out WOW6432Node.
std::string ListedWhere(const TDeletedEntry& entry);
// The time of the delete on the user's clock, written as their settings say.
std::string DeletedTimeText(std::int64_t seconds, const ILocale& locale);

// The name a copy of Windows' record of a startup entry goes by.
std::string RecordCopyName(const std::string& entryName);
// The copies among all that were made with the chosen ones and belong to
// them (Windows' record of a startup entry), not chosen themselves.
std::vector<TDeletedEntry> CompanionsOf(const std::vector<TDeletedEntry>& chosen,
                                        const std::vector<TDeletedEntry>& all);

class TDeletedStore {
public:
    // The store in the folder; DefaultFolder's when none is given.
    explicit TDeletedStore(const TPlatform& platform, std::string folder = {});

    // The application data folder's Clearvane\Deleted; empty when the user
    // has no application data folder.
    static std::string DefaultFolder(const TPlatform& platform);

    // How many copies are kept: the oldest go when a new one passes it.
    std::size_t Limit = 500;
    // The time of a delete, in seconds since 1970 (UTC); the system clock
    // unless a test sets another.
    std::function<std::int64_t()> Clock;

    // Each saves a copy of what is about to be deleted and checks it by
    // reading it back. Throws EBackupError, saying why, when the copy could
    // not be made: then the delete must not happen. Something that is not
    // there (deleted meanwhile) needs no copy and is no error.
    // A key holding what the registry editor's format cannot carry (a
    // registry link, a value name holding a NUL) is refused too. Each
    // returns the copy made, or nothing when there was nothing to keep.
    std::optional<TDeletedEntry> SaveKey(HKey root, TRegView view, const std::string& path,
                                         const std::string& name);
    std::optional<TDeletedEntry> SaveValue(HKey root, TRegView view, const std::string& keyPath,
                                           const std::string& valueName, const std::string& name);
    std::optional<TDeletedEntry> SaveFile(const std::string& path, const std::string& name);
    // Drops the copy when what it was made of still stands exactly as it
    // was: for a delete that did not happen, so the list shows nothing that
    // was never deleted.
    void DropIfUnchanged(const TDeletedEntry& entry) const;

    // Every readable copy, newest first. Records that cannot be read, or
    // whose data is missing, are left out (and left alone).
    std::vector<TDeletedEntry> List() const;

    // Whether the key, value or file stands in its place again.
    bool IsBack(const TDeletedEntry& entry) const;

    // Puts the entry back where it was and drops its copy. Only the key (and
    // what lies under it), the value or the file that was saved is written:
    // a copy naming anything else restores nothing. What stands in its place
    // again is replaced only when asked to, after a copy of it is saved in
    // turn. Throws EBackupError, ERightsError or ERegistryError when the
    // entry could not be put back; its copy then stays.
    enum class TRestored { Done, IsBack };
    TRestored Restore(const TDeletedEntry& entry, bool replace);

private:
    // An uninstall entry's key, a Run key's value (or Windows' record of
    // one), a file in a Startup folder: the only places a copy goes back to.
    bool IsOwnPlace(const TDeletedEntry& entry) const;
    std::string Folder() const;
    std::string NewId(std::int64_t now) const;
    // Writes the data and the record, each read back; throws when either failed.
    TDeletedEntry Keep(TDeletedEntry entry, const std::string& data, const std::string& extension);
    void Forget(const TDeletedEntry& entry) const;
    // Drops the oldest copies beyond the limit, never the one named.
    void Prune(const std::string& keep) const;
    // What a copy of the entry made now would hold; empty when it is not there.
    std::string CurrentData(const TDeletedEntry& entry) const;
    void RestoreKey(const TDeletedEntry& entry, const std::string& data, bool replace);
    void RestoreValue(const TDeletedEntry& entry, const std::string& data, bool replace);
    void RestoreFile(const TDeletedEntry& entry, const std::string& data, bool replace);

    const TPlatform& FPlatform;
    std::string FFolder;
};

} // namespace cv
