// One installed application as the registry's uninstall information records
// it: the values of one Uninstall subkey under one root. The manager creates,
// fills and frees entries; everybody else reads them.
#pragma once

#include "platform/Platform.h"
#include "platform/Registry.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace cv {

// A value's name and its text as ReadRows shows it.
using TValueText = std::pair<std::string, std::string>;

class TUninstallItem {
public:
    explicit TUninstallItem(const TPlatform& platform) : FPlatform(&platform) {}
    // Asks its own questions about files (the install folder, the program
    // in its command) through that platform from now on: a copy looked at
    // in one pass shares the pass's answers.
    void UsePlatform(const TPlatform& platform) { FPlatform = &platform; }

    std::string Publisher;
    std::string UninstallString;
    std::string HelpLink;
    std::string URLUpdateInfo;
    std::string HelpTelephone;
    std::string DisplayName;
    std::string InstallLocation;
    std::string URLInfoAbout;
    std::string DisplayVersion;
    std::string DisplayIcon;
    std::string KeyPath;
    bool NoRemove = false;
    bool NoModify = false;
    bool Bad = false;
    HKey RootKey = kHKeyLocalMachine;
    // The registry view the key was read in; every later act on the entry
    // goes through the same view.
    TRegView View = kRegViewNative;
    bool New = false;
    // Windows hides the entry as a part of another product: SystemComponent
    // set, or an update naming its product in ParentKeyName.
    bool SystemComponent = false;
    std::string ParentKeyName;
    // Every value of the key as read (ReadValuesStamp), to tell later
    // whether the key changed meanwhile.
    std::uint64_t ValuesStamp = 0;

    // An application the user can remove: named, with an uninstall command,
    // and neither NoModify nor NoRemove set.
    bool IsUninstallable() const;
    bool IsPartOfOtherProduct() const { return SystemComponent || !ParentKeyName.empty(); }
    // The program UninstallString starts; empty when none is found.
    std::string GetExecutable() const;
    // InstallLocation when that folder exists, else the folder of the
    // executable (with its final separator); empty when neither is known.
    std::string GetInstallDir() const;

    // The key's path as the registry editor shows it (a 32-bit entry's
    // under SOFTWARE\\WOW6432Node), and with its root in front.
    std::string ShownKeyPath() const;
    std::string KeyText() const;

    // Every value of the entry's key as "name=text" lines, in the registry's
    // order: strings as they are, 32-bit numbers in signed decimal, binary
    // and other data as their byte count. Empty when the key cannot be opened.
    std::vector<std::string> ReadValues() const;
    // Makes the key hold exactly the values the lines name ("name=text").
    // A line left as ReadValues gave it leaves its value untouched, byte for
    // byte; a changed string keeps its kind (expandable or not), a changed
    // 32-bit number must still be one, and a value whose line shows less
    // than its data (binary, several strings, 64-bit, ...) cannot be changed:
    // such a line throws ERegistryError naming the value before anything is
    // written. New and changed values are written before the removed ones
    // are deleted, and values that could not be read are never deleted. If
    // the registry refuses a change, what was done is undone and
    // ERightsError (access denied) or ERegistryError reaches the caller; a
    // key gone meanwhile gives ERegistryError and is not made again.
    void WriteValues(const std::vector<std::string>& lines) const;
    // The same with names and texts apart, so a name may hold "=". A row
    // whose name is new and whose text is that of a value no row names any
    // more is that value renamed: it keeps the value's type and data.
    std::vector<TValueText> ReadRows() const;
    void WriteRows(const std::vector<TValueText>& rows) const;

private:
    const TPlatform* FPlatform;
};

// One number for all values of the registry object's current key, names
// (in any letter case) with types and data, whatever order they come in.
std::uint64_t ReadValuesStamp(TRegistry& reg);
// The same number for values already read, in whatever order.
std::uint64_t ValuesStamp(const std::vector<TRegNamedValue>& values);

// Fill an entry's fields, its flags and its ValuesStamp from the registry
// object's current key (the entry's own). A string field holding no text,
// or a flag that is not a 32-bit number, throws ERegistryError: such an
// entry is not read.
//
// By name: each value asked for on its own, then a pass over all values
// for the stamp.
void ReadEntryByName(TRegistry& reg, TUninstallItem* item);
// In one pass: every value read once, by enumeration, giving exactly what
// ReadEntryByName gives. False, with nothing filled in, when the pass
// cannot stand for the reads by name: the registry broke it off, or a value
// name outside ASCII might be one of the entry's names under the
// registry's own letter case rules.
bool ReadEntryInOnePass(TRegistry& reg, TUninstallItem* item);

} // namespace cv
