#include "uninstaller/QuickEntry.h"

#include "platform/PathText.h"
#include "platform/StrCon.h"
#include "platform/TextCase.h"
#include "platform/Utils.h"

namespace cv {

namespace {

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) {
                parts.push_back(UpperText(part));
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(UpperText(part));
    }
    return parts;
}

// The long form of an existing folder, else the folder as written made whole.
std::string LongFolder(const TPlatform& platform, const std::string& folder) {
    const std::string longForm = platform.Files.LongPathName(folder);
    return longForm.empty() ? platform.Files.FullPathName(folder) : longForm;
}

std::string Cut(const std::string& text) {
    return TruncateText(text, 40, 3, '.');
}

} // namespace

bool FolderWithin(const std::string& folder, const std::string& outer) {
    const std::vector<std::string> inner = PathParts(folder);
    const std::vector<std::string> around = PathParts(outer);
    if (around.size() < 2 || inner.size() < around.size()) {
        return false; // a drive's root would own every file on it
    }
    for (std::size_t i = 0; i < around.size(); ++i) {
        if (inner[i] != around[i]) {
            return false;
        }
    }
    return true;
}

const TUninstallItem* FindOwnerEntry(const TPlatform& platform, const TUninstallManager& inventory,
                                     const std::string& path) {
    std::string file = path;
    if (UpperText(ExtractFileExt(path)) == ".LNK") {
        file = ResolveShortcut(platform, path);
    }
    const std::string folder = ExtractFilePath(file);
    if (folder.empty() || !platform.Files.DirectoryExists(folder)) {
        return nullptr; // nothing says where the file belongs
    }
    const std::string where = LongFolder(platform, folder);
    // A folder of Windows (an MSI entry's uninstaller lies in the system
    // folder) says nothing of the application.
    const std::string windows = LongFolder(platform, GetWindowsDir(platform));
    const TUninstallItem* owner = nullptr;
    std::size_t ownerDepth = 0;
    for (const auto& [name, entry] : inventory.Items) {
        if (!entry->IsUninstallable() || entry->Bad) {
            continue;
        }
        const std::string install = entry->GetInstallDir();
        if (install.empty()) {
            continue;
        }
        const std::string around = LongFolder(platform, install);
        if (FolderWithin(around, windows) || !FolderWithin(where, around)) {
            continue;
        }
        // The innermost install folder wins: "C:\Tools\Inner" before "C:\Tools".
        const std::size_t depth = PathParts(around).size();
        if (owner == nullptr || depth > ownerDepth) {
            owner = entry.get();
            ownerDepth = depth;
        }
    }
    return owner;
}

std::vector<std::string> QuickEntryChoices(const TUninstallItem* owner, const std::string& givenPath) {
    std::vector<std::string> choices;
    if (owner != nullptr) {
        choices.push_back("Uninstall \"" + Cut(owner->DisplayName) + "\"?");
    }
    choices.push_back("Delete \"" + Cut(ExtractFileName(givenPath)) + "\"?");
    choices.push_back("Show me the UI.");
    return choices;
}

} // namespace cv
