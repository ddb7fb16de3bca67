#include "inventory/UninstallManager.h"

#include "app/DeletedStore.h"
#include "platform/CommandStart.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/StrCon.h"
#include "platform/TextCase.h"
#include "platform/TextLines.h"
#include "platform/Utf.h"
#include "platform/Utils.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace cv {

TUninstallManager::TUninstallManager(const TPlatform& platform, const TFileInfoManager& fileInfo)
    : FPlatform(platform), FFileInfo(fileInfo) {
    const TSystemImageLists lists = platform.Shell.GetSystemImageLists();
    LargeImages = lists.Large;
    SmallImages = lists.Small;
    InstallIconIndex = platform.Shell.AddResourceIcon("Z_INSTALL");
    RubbishIconIndex = platform.Shell.AddResourceIcon("Z_RUBBISH");
}

TUninstallManager::~TUninstallManager() = default;

void TUninstallManager::Clear() {
    BadItems.clear();
    Items.clear();
}

TUninstallItems& TUninstallManager::Refresh() {
    Clear();
    AppCount = 0;
    BadCount = 0;
    // The machine's 64-bit view, its 32-bit view, then the user's key,
    // which has one view on every Windows.
    for (const TRegView view : MachineViews(FPlatform.Registry)) {
        ReadRoot(kHKeyLocalMachine, view);
    }
    ReadRoot(kHKeyCurrentUser, kRegViewNative);
    if (FCheckFiles) {
        FindBadEntries();
    }
    return Items;
}

void TUninstallManager::ReadRoot(HKey root, TRegView view) {
    std::vector<std::string> names;
    {
        TRegistry reg(FPlatform.Registry, kKeyRead);
        reg.SetRootKey(root);
        reg.SetView(view);
        if (!reg.OpenKey(kUninstallKey, false)) {
            return;
        }
        names = reg.GetKeyNames();
    }
    for (const std::string& name : names) {
        try {
            auto item = ReadEntry(root, view, std::string(kUninstallKey) + "\\" + name);
            if (item->IsUninstallable()) {
                ++AppCount;
            }
            std::string displayName = item->DisplayName;
            Items.emplace_back(std::move(displayName), std::move(item));
        } catch (const EClearvaneError&) {
            // A value of the wrong type spoils this entry only.
        }
    }
}

std::unique_ptr<TUninstallItem> TUninstallManager::ReadEntry(HKey root, TRegView view,
                                                             const std::string& keyPath) {
    TRegistry reg(FPlatform.Registry, kKeyRead);
    reg.SetRootKey(root);
    reg.SetView(view);
    const bool opened = reg.OpenKey(keyPath, false);
    auto item = std::make_unique<TUninstallItem>(FPlatform);
    item->RootKey = root;
    item->View = view;
    item->KeyPath = keyPath;
    if (!opened) {
        return item; // unreadable: an entry without values
    }
    // One trip per value; the reads by name only when the one pass cannot
    // stand for them.
    if (!ReadEntryInOnePass(reg, item.get())) {
        ReadEntryByName(reg, item.get());
    }
    return item;
}

void TUninstallManager::DeleteEntry(TUninstallItem* item) {
    const auto it =
        std::find_if(Items.begin(), Items.end(), [&](const auto& pair) { return pair.second.get() == item; });
    if (it == Items.end()) {
        return; // not one of ours (any more)
    }
    DeleteEntryKey(*item);
    ForgetEntry(item);
}

void TUninstallManager::ForgetEntry(TUninstallItem* item) {
    const auto it =
        std::find_if(Items.begin(), Items.end(), [&](const auto& pair) { return pair.second.get() == item; });
    if (it == Items.end()) {
        return;
    }
    if (item->IsUninstallable()) {
        --AppCount;
    }
    if (item->Bad) {
        const auto bad = std::find_if(BadItems.begin(), BadItems.end(),
                                      [&](const auto& pair) { return pair.second == item; });
        if (bad != BadItems.end()) {
            BadItems.erase(bad);
            --BadCount;
        }
    }
    Items.erase(it);
}

void TUninstallManager::DeleteEntryKey(const TUninstallItem& item) const {
    // No copy, no delete: SaveKey throws when it cannot keep one.
    TDeletedStore store(FPlatform, FDeletedFolder);
    const auto copy = store.SaveKey(item.RootKey, item.View, item.KeyPath, item.DisplayName);
    TRegistry reg(FPlatform.Registry, kKeyRead);
    reg.SetRootKey(item.RootKey);
    reg.SetView(item.View);
    // Only a key that is not there counts as deleted; one that merely
    // cannot be read or named is still there.
    if (!reg.DeleteKey(item.KeyPath) &&
        (reg.LastError() != kErrorFileNotFound || reg.KeyExists(item.KeyPath))) {
        if (copy) {
            store.DropIfUnchanged(*copy); // refused whole: nothing was deleted
        }
        ThrowRefusedChange("delete", item.KeyText(), reg.LastError());
    }
}

bool TUninstallManager::EntryExists(const TUninstallItem& item) const {
    TRegistry reg(FPlatform.Registry, kKeyRead);
    reg.SetRootKey(item.RootKey);
    reg.SetView(item.View);
    return reg.KeyExists(item.KeyPath);
}

bool TUninstallManager::RunUninstaller(const TUninstallItem& item, TStartError* error) {
    return StartCommand(FPlatform, item.UninstallString, false, error) != nullptr;
}

std::unique_ptr<IProcess> TUninstallManager::StartUninstaller(const TUninstallItem& item,
                                                              TStartError* error) {
    return StartCommand(FPlatform, item.UninstallString, true, error);
}

bool TUninstallManager::UninstallerRuns(IProcess& process) const {
    return !process.Wait(FPlatform.ProcessMessages, kTreeEndGrace);
}

bool TUninstallManager::RunUninstallerAndWait(const TUninstallItem& item, TStartError* error) {
    auto process = StartCommand(FPlatform, item.UninstallString, true, error);
    if (!process) {
        return false;
    }
    process->Wait(FPlatform.ProcessMessages);
    return true;
}

namespace {

// A name as its line in the names file: each CR and LF a blank, so a name
// holding line breaks still takes one line and is known again next time.
// Names without any are written as they are, as older versions wrote them.
std::string NameLine(const std::string& name) {
    std::string line = name;
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

void TUninstallManager::LoadLastNames(const std::string& fileName) {
    std::string text;
    if (!FPlatform.Files.ReadFile(fileName, &text)) {
        for (const auto& pair : Items) {
            LastNames.push_back(pair.first);
        }
        return;
    }
    LastNames = SplitTextLines(text);
}

void TUninstallManager::MarkNewEntries() {
    std::unordered_set<std::string> known;
    for (const std::string& name : LastNames) {
        known.insert(UpperText(NameLine(name)));
    }
    for (auto& pair : Items) {
        if (known.count(UpperText(NameLine(pair.second->DisplayName))) == 0) {
            pair.second->New = true;
            HasNew = true;
        }
    }
}

void TUninstallManager::SaveNames(const std::string& fileName) {
    std::string text;
    for (const auto& pair : Items) {
        text += NameLine(pair.second->DisplayName);
        text += "\r\n";
    }
    // Reading drops a byte order mark at the start of the file: a first
    // name that starts with one gets another in front to lose.
    if (text.starts_with(kByteOrderMark)) {
        text.insert(0, kByteOrderMark);
    }
    const std::string temporary = fileName + ".new";
    if (!FPlatform.Files.WriteFile(temporary, text) || !FPlatform.Files.MovePath(temporary, fileName, true)) {
        FPlatform.Files.RemoveFile(temporary);
        throw EFileError(FormatText("Cannot create file %s", fileName));
    }
}

bool TUninstallManager::IsEntryGone(const TUninstallItem& item) const {
    TFileCheck check(FPlatform);
    return check.IsGone(item);
}

void TUninstallManager::FindBadEntries() {
    TFileCheck check(FPlatform);
    std::vector<const TUninstallItem*> bad;
    for (const auto& pair : Items) {
        if (pair.second->IsUninstallable() && check.IsGone(*pair.second)) {
            bad.push_back(pair.second.get());
        }
    }
    SetBadEntries(bad);
}

void TUninstallManager::SetBadEntries(const std::vector<const TUninstallItem*>& bad) {
    const std::unordered_set<const TUninstallItem*> marked(bad.begin(), bad.end());
    BadItems.clear();
    BadCount = 0;
    for (auto& [name, item] : Items) {
        item->Bad = item->IsUninstallable() && marked.count(item.get()) != 0;
        if (item->Bad) {
            ++BadCount;
            BadItems.emplace_back(name, item.get());
        }
    }
}

TUninstallItemRefs TUninstallManager::AutofixItems() const {
    TUninstallItemRefs offered;
    for (const auto& pair : BadItems) {
        if (!pair.second->IsPartOfOtherProduct()) {
            offered.push_back(pair);
        }
    }
    return offered;
}

TUninstallManager::TRecheck TUninstallManager::RecheckEntry(const TUninstallItem& item,
                                                            TFileCheck& check) const {
    TRegistry reg(FPlatform.Registry, kKeyRead);
    reg.SetRootKey(item.RootKey);
    reg.SetView(item.View);
    if (!reg.OpenKey(item.KeyPath, false)) {
        return reg.LastError() == kErrorFileNotFound && !reg.KeyExists(item.KeyPath) ? TRecheck::KeyGone
                                                                                     : TRecheck::Changed;
    }
    if (ReadValuesStamp(reg) != item.ValuesStamp) {
        return TRecheck::Changed;
    }
    // Same values, so the same paths: only the disk can have changed.
    if (item.Bad && !check.IsGone(item)) {
        return TRecheck::FilesBack;
    }
    return TRecheck::Unchanged;
}

std::string TUninstallManager::GetApplicationFile(const TUninstallItem& item,
                                                  const TPlatform& platform) const {
    if (item.Bad) {
        return kRubbishMarker;
    }
    std::string file = StrCon().RemoveChar(StrCon().TextUpToChars(item.DisplayIcon, ","), '"');
    if (!platform.Files.FileExists(file)) {
        const std::string folder = item.GetInstallDir();
        // Programs of the system folders (msiexec and the like) say nothing of the application.
        if (StrCon().SameTextCollapsed(folder, GetSystemDir(platform), ' ') ||
            StrCon().SameTextCollapsed(folder, GetWindowsDir(platform), ' ')) {
            return kInstallMarker;
        }
        file = folder.empty() ? std::string() : FindLargestFile(platform, folder, "*.exe");
    }
    if (file.empty() || file[0] == '.') {
        return kInstallMarker;
    }
    return file;
}

int TUninstallManager::GetIconIndex(const TUninstallItem& item) const {
    if (!FCheckFiles) {
        return InstallIconIndex;
    }
    const std::string file = GetApplicationFile(item);
    if (file == kRubbishMarker) {
        return RubbishIconIndex;
    }
    if (file == kInstallMarker) {
        return InstallIconIndex;
    }
    return FFileInfo.GetIconIndex(file);
}

} // namespace cv
