// What the quick entry needs apart from any window: the installed
// application that owns a file dropped on the program's icon, and the
// choices offered for it.
#pragma once

#include "inventory/UninstallManager.h"

#include <string>
#include <vector>

namespace cv {

// Whether the folder lies in the outer folder or is it: whole path parts
// compared without regard to case. A drive's root contains nothing here,
// and empty paths nothing either.
bool FolderWithin(const std::string& folder, const std::string& outer);

// The application of the inventory (read by the caller) whose install
// folder holds the file, the innermost when several do (the first of
// those): a shortcut (".lnk" in any case) stands for its target; the
// file's folder and each install folder are compared in their long forms
// where they exist. Applications that cannot be removed, bad ones, and
// those whose folder is Windows' own (or in it) are passed over. Null when
// none owns it.
const TUninstallItem* FindOwnerEntry(const TPlatform& platform, const TUninstallManager& inventory,
                                     const std::string& path);

// The radio items: "Uninstall "name"?" when there is an owner, then
// "Delete "file"?" and "Show me the UI."; names longer than 40 characters
// are cut to 37 and "...".
std::vector<std::string> QuickEntryChoices(const TUninstallItem* owner, const std::string& givenPath);

} // namespace cv
