// One installed application as the registry's uninstall information records
// it: the values of one Uninstall subkey under one root. The manager creates,
// fills and frees entries; everybody else reads them.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace cv {

class TUninstallItem {
public:
    explicit TUninstallItem(const TPlatform& platform) : FPlatform(&platform) {}

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

    // An application the user can remove: named, with an uninstall command,
    // and neither NoModify nor NoRemove set.
    bool IsUninstallable() const;
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
    // Rewrites the key so that it holds exactly the values the lines name.
    // Lines left as ReadValues gave them keep their value's type and data
    // byte for byte; a changed number stays a number. If a write fails the
    // key gets its old values back before ERegistryError reaches the caller;
    // a key the user may not change gives ERightsError and stays as it was,
    // a key gone meanwhile gives ERegistryError and is not made again.
    void WriteValues(const std::vector<std::string>& lines) const;

private:
    const TPlatform* FPlatform;
};

} // namespace cv
