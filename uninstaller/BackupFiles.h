// Backups of the uninstall information: the machine's Uninstall key (and,
// on 64-bit Windows, its 32-bit view's) and the user's, each exported by
// the registry editor into a file of its own beside the one the user named,
// and imported back only when every key in them is uninstall information.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace cv {

struct TBackupFile {
    std::string Path;
    std::string KeyName; // the key it holds, as the registry editor names it
};

// The name chosen with its extension made ".reg" (added when it has none).
std::string BackupBaseName(const std::string& chosen);
// A backup's files: the base for the machine's key, base + ".1" for the
// user's, and base + ".2" for the machine's 32-bit view where there is one.
std::vector<TBackupFile> BackupFiles(const std::string& base, bool twoViews);

// Whether any file of a backup of that base is there already.
bool BackupExists(const TPlatform& platform, const std::string& base);

// Writes the backup's files; empty when all were written, else the message
// naming the first that was not. A file the editor did not write is no
// backup: each file is checked.
std::string SaveBackup(const TPlatform& platform, const std::string& base);

// Restores from the file chosen and its companions that exist. Every file
// is read first: one that is not a registry file, that names a key outside
// the uninstall information, or that would delete a key or a value, stops
// the restore before anything is imported, and its message names the file
// and the first such key. A key
// of HKEY_LOCAL_MACHINE the user may not change throws ERightsError before
// anything is imported. Empty when everything was imported.
std::string RestoreBackup(const TPlatform& platform, const std::string& chosen);

} // namespace cv
