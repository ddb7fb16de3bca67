#include "uninstaller/BackupFiles.h"

#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"

#include <algorithm>

namespace cv {

namespace {

const std::string kMachineKey = std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey;
const std::string kMachine32Key = "HKEY_LOCAL_MACHINE\\" + ShownKeyPath(kUninstallKey, kRegView32);
const std::string kUserKey = std::string("HKEY_CURRENT_USER\\") + kUninstallKey;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Whether a section's key (a removal's "-" taken off) lies in one of the
// uninstall keys, the keys themselves included. Roots may be written short.
bool IsUninstallSection(std::string section, HKey* root) {
    if (!section.empty() && section[0] == '-') {
        section.erase(0, 1);
    }
    std::string path;
    if (!SplitRegistryKeyName(section, root, &path)) {
        return false;
    }
    const std::string full = UpperText(RootKeyName(*root) + "\\" + path);
    for (const std::string& key : {kMachineKey, kMachine32Key, kUserKey}) {
        const std::string upper = UpperText(key);
        if (full == upper || full.starts_with(upper + "\\")) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string BackupBaseName(const std::string& chosen) {
    const std::string extension = ExtractFileExt(chosen);
    return chosen.substr(0, chosen.size() - extension.size()) + ".reg";
}

std::vector<TBackupFile> BackupFiles(const std::string& base, bool twoViews) {
    std::vector<TBackupFile> files{{base, kMachineKey}, {base + ".1", kUserKey}};
    if (twoViews) {
        files.push_back({base + ".2", kMachine32Key});
    }
    return files;
}

bool BackupExists(const TPlatform& platform, const std::string& base) {
    const auto files = BackupFiles(base, true); // a 32-bit part of an older backup counts too
    return std::any_of(files.begin(), files.end(),
                       [&](const TBackupFile& file) { return platform.Files.FileExists(file.Path); });
}

std::string SaveBackup(const TPlatform& platform, const std::string& base) {
    const bool twoViews = platform.Registry.HasTwoViews();
    if (!twoViews) {
        platform.Files.RemoveFile(base + ".2"); // a 64-bit machine's part of an older backup of this name
    }
    for (const TBackupFile& file : BackupFiles(base, twoViews)) {
        // A key that is not there (no application installed for this user)
        // is saved as a file that restores nothing.
        TRegistry reg(platform.Registry, kKeyRead);
        HKey root = 0;
        std::string path;
        SplitRegistryKeyName(file.KeyName, &root, &path);
        reg.SetRootKey(root);
        const bool written = reg.KeyExists(path) ? platform.Shell.RegeditExport(file.KeyName, file.Path)
                                                 : platform.Files.WriteFile(file.Path, EmptyRegFile());
        if (!written || !platform.Files.FileExists(file.Path)) {
            return "The uninstall information could not be saved: " + Quoted(file.Path) +
                   " was not written (" + file.KeyName + ").";
        }
    }
    return {};
}

std::string RestoreBackup(const TPlatform& platform, const std::string& chosen) {
    std::vector<std::string> files{chosen};
    for (const char* suffix : {".1", ".2"}) {
        if (platform.Files.FileExists(chosen + suffix)) {
            files.push_back(chosen + suffix);
        }
    }
    bool machine = false;
    for (const std::string& file : files) {
        std::string bytes;
        std::vector<std::string> sections;
        bool removesValues = false;
        if (!platform.Files.ReadFile(file, &bytes) || !RegFileSections(bytes, &sections, &removesValues)) {
            return Quoted(file) + " is not a registry file. Nothing was restored.";
        }
        if (removesValues) {
            return Quoted(file) + " would delete values. A backup deletes nothing. Nothing was restored.";
        }
        for (const std::string& section : sections) {
            // A backup brings entries back and deletes nothing; a file that
            // would delete a key is none of ours.
            if (!section.empty() && section[0] == '-') {
                return Quoted(file) + " would delete the key " + Quoted(section.substr(1)) +
                       ". A backup deletes nothing. Nothing was restored.";
            }
            HKey root = 0;
            if (!IsUninstallSection(section, &root)) {
                return Quoted(file) + " holds the key " + Quoted(section) +
                       ", which is no uninstall information. Nothing was restored.";
            }
            machine = machine || root == kHKeyLocalMachine;
        }
    }
    for (const TRegView view : machine ? MachineViews(platform.Registry) : std::vector<TRegView>{}) {
        TRegistry reg(platform.Registry, kKeyRead | kKeyWrite);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.SetView(view);
        if (!reg.OpenKey(kUninstallKey, false) && reg.LastError() == kErrorAccessDenied) {
            ThrowRefusedChange("restore into", FullKeyText(kHKeyLocalMachine, kUninstallKey, view),
                               kErrorAccessDenied);
        }
    }
    for (const std::string& file : files) {
        if (!platform.Shell.RegeditImport(file)) {
            return Quoted(file) + " could not be imported completely.";
        }
    }
    return {};
}

} // namespace cv
