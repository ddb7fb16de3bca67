// Windows' own switch for startup entries, the one its Task Manager flips:
// one binary record per entry under Explorer\StartupApproved, named as the
// Run value or the shortcut file, that says whether the entry runs,
// whichever store it stands in. Only records of the form Windows writes
// (REG_BINARY, 12 bytes) are ever changed; any other is read as "on".
#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

inline constexpr const char* kStartupApprovedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";
inline constexpr std::size_t kApprovedRecordSize = 12;

// Where the record of one entry lies.
struct TApprovedPlace {
    HKey Root = kHKeyCurrentUser;
    // Always the machine's 64-bit view: 32-bit programs' Run values have
    // their records in Run32 beside the others.
    TRegView View = kRegViewNative;
    std::string Key;
    std::string Name;
};

// The record of a Run value of the root and view (Run, or Run32 for the
// machine's 32-bit view).
TApprovedPlace RunApprovedPlace(const IRegistryApi& api, HKey root, TRegView view, const std::string& name);
// The record of a file in the root's Startup folder (HKEY_LOCAL_MACHINE
// for all users).
TApprovedPlace FolderApprovedPlace(const IRegistryApi& api, HKey root, const std::string& fileName);

struct TApprovedRecord {
    // There is a record, and it has the form Windows writes.
    bool Known = false;
    // Switched off: the first byte is odd.
    bool Off = false;
    // When it was switched off, a FILETIME in UTC; 0 when not recorded.
    std::uint64_t OffSince = 0;
};

TApprovedRecord ParseApprovedRecord(const TRegRawValue& value);
TApprovedRecord ReadApprovedRecord(IRegistryApi& api, const TApprovedPlace& place);
// "On" as Windows writes it: 2, and the rest zero.
TRegRawValue ApprovedOnRecord();

// One change of an entry's record, prepared before the entry itself moves or
// goes: the record's key is opened for writing first, so a key the user may
// not change refuses the whole change before any of it is written.
class TApprovedChange {
public:
    // Nothing to change.
    TApprovedChange() = default;
    // Sets an "off" record to "on"; no record, an "on" one or one of another
    // form needs nothing.
    static TApprovedChange SwitchOn(IRegistryApi& api, const TApprovedPlace& place);
    // Deletes a record of Windows' form; one of another form is left.
    static TApprovedChange Remove(IRegistryApi& api, const TApprovedPlace& place);

    bool Due() const { return FWriter.has_value(); }
    // Writes or deletes; a refusal throws as any refused change does.
    void Commit();

private:
    enum class TKind { SwitchOn, Remove };
    TApprovedChange(IRegistryApi& api, const TApprovedPlace& place, TKind kind);

    TApprovedPlace FPlace;
    TKind FKind = TKind::SwitchOn;
    std::optional<TRegistry> FWriter;
};

} // namespace cv
