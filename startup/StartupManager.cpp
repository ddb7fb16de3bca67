#include "startup/StartupManager.h"

#include "platform/PathText.h"
#include "platform/Utf.h"
#include "platform/Utils.h"

namespace cv {

TStartupManager::TStartupManager(const TPlatform& platform, const TFileInfoManager& fileInfo)
    : FPlatform(platform), FFileInfo(fileInfo) {}

void TStartupManager::Clear() {
    Items.clear();
    Skipped.clear();
}

TStartupItems& TStartupManager::GetItems(bool refresh) {
    if (refresh) {
        Clear();
        LoadRegistryItems();
        LoadFolderItems();
    }
    return Items;
}

void TStartupManager::LoadRegistryItems() {
    struct TStore {
        HKey Root;
        TRegView View;
        TRunFrom RunFrom;
    };
    std::vector<TStore> stores;
    for (const TRegView view : MachineViews(FPlatform.Registry)) {
        stores.push_back({kHKeyLocalMachine, view, TRunFrom::rfAllUsersKey});
    }
    stores.push_back({kHKeyCurrentUser, kRegViewNative, TRunFrom::rfCurrentUserKey});
    TRegistry reg(FPlatform.Registry, kKeyRead);
    for (const TStore& store : stores) {
        reg.SetRootKey(store.Root);
        reg.SetView(store.View);
        for (const char* key : {kRunKey, kRunHiddenKey}) {
            if (!reg.OpenKey(key, false)) {
                continue; // missing, or closed to this user
            }
            for (const std::string& name : reg.GetValueNames()) {
                if (name.empty()) {
                    continue; // the key's default value
                }
                TRegRawValue value;
                if (!reg.ReadRaw(name, &value)) {
                    continue; // gone since the names were read
                }
                auto item = std::make_unique<TRegistryStartupItem>(FPlatform);
                item->DisplayName = name;
                item->RunFrom = store.RunFrom;
                item->View = store.View;
                item->Parked = std::string_view(key) == kRunHiddenKey;
                if (!IsCommandType(value.Type)) {
                    Skipped.push_back(item->KeyText() + "\\" + name);
                    continue;
                }
                item->Command = RegStringText(value.Data);
                item->Value = std::move(value);
                item->FilePath = ExtractExecutable(FPlatform, item->Command);
                Append(std::move(item));
            }
            reg.CloseKey();
        }
    }
}

void TStartupManager::LoadFolderItems() {
    for (const auto& [csidl, runFrom] : {std::pair{kCsidlStartup, TRunFrom::rfCurrentUserFolder},
                                         std::pair{kCsidlCommonStartup, TRunFrom::rfAllUsersFolder}}) {
        const std::string startup = FPlatform.Shell.GetSpecialFolderPath(csidl);
        if (startup.empty()) {
            continue; // the shell knows no such folder
        }
        for (const std::string& folder : {startup, DisabledFolderOf(startup)}) {
            if (!FPlatform.Files.DirectoryExists(folder)) {
                break; // without its Startup folder, a disabled folder is not read either
            }
            // Listed by its path: the current directory belongs to others.
            for (const TFoundFile& file : FPlatform.Files.FindFiles(folder, "*.*")) {
                if (file.Name.empty() || file.Name[0] == '.') {
                    continue;
                }
                auto item = std::make_unique<TFolderStartupItem>(FPlatform);
                item->DisplayName = file.Name.substr(0, file.Name.size() - ExtractFileExt(file.Name).size());
                item->FilePath = IncludeTrailingBackslash(folder) + file.Name;
                item->Command = file.Name;
                item->RunFrom = runFrom;
                item->Parked = folder != startup;
                Append(std::move(item));
            }
        }
    }
}

void TStartupManager::Append(std::unique_ptr<TStartupItem> item) {
    // An entry Windows switched off does not run from its enabled store
    // either: it is shown, and applied, as switched off.
    item->ReadApproved();
    item->Enabled = !item->Parked && !item->OffInWindows;
    Items.push_back(std::move(item));
}

std::unique_ptr<TStartupItem> TStartupManager::NewItem(const std::string& displayName,
                                                       const std::string& command, TRunFrom runFrom) const {
    std::unique_ptr<TStartupItem> item;
    if (runFrom == TRunFrom::rfAllUsersKey || runFrom == TRunFrom::rfCurrentUserKey) {
        item = std::make_unique<TRegistryStartupItem>(FPlatform);
    } else {
        item = std::make_unique<TFolderStartupItem>(FPlatform);
    }
    item->DisplayName = displayName;
    item->Command = command;
    item->RunFrom = runFrom;
    item->Enabled = true;
    return item;
}

void TStartupManager::AddStartupItem(const std::string& displayName, const std::string& command,
                                     TRunFrom runFrom) {
    NewItem(displayName, command, runFrom)->Save();
}

void TStartupManager::CheckNewStartupItem(const std::string& displayName, const std::string& command,
                                          TRunFrom runFrom) const {
    NewItem(displayName, command, runFrom)->CheckSave();
}

void TStartupManager::DeleteStartupItem(TStartupItem& item) {
    // No copy, no delete: SaveCopy throws when it cannot keep one. What
    // still stands as it was afterwards (a refused delete, a record its twin
    // keeps) needs no copy, so its copy goes again.
    TDeletedStore store(FPlatform, FDeletedFolder);
    const std::vector<TDeletedEntry> copies = item.SaveCopy(store);
    const auto dropUnchanged = [&] {
        for (const TDeletedEntry& copy : copies) {
            store.DropIfUnchanged(copy);
        }
    };
    try {
        item.Delete();
    } catch (...) {
        dropUnchanged();
        throw;
    }
    dropUnchanged();
}

void TStartupManager::HideStartupItem(TStartupItem& item) {
    item.Hide();
}

void TStartupManager::ShowStartupItem(TStartupItem& item) {
    item.Show();
}

int TStartupManager::GetIconIndex(const TStartupItem& item) const {
    return FFileInfo.GetIconIndex(item.FilePath);
}

} // namespace cv
