#include "startup/StartupItem.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/StrCon.h"
#include "platform/TextCase.h"
#include "platform/Utf.h"
#include "platform/Utils.h"

namespace cv {

std::string DisabledFolderOf(const std::string& startupFolder) {
    std::string parent = StrCon().TextBeforeLast("\\", startupFolder);
    if (!parent.empty() && parent.back() != '\\') {
        parent += '\\';
    }
    return parent + kDisabledStartup;
}

std::string StartupFolderOf(const TPlatform& platform, TRunFrom runFrom) {
    switch (runFrom) {
    case TRunFrom::rfAllUsersFolder:
        return platform.Shell.GetSpecialFolderPath(kCsidlCommonStartup);
    case TRunFrom::rfCurrentUserFolder:
        return platform.Shell.GetSpecialFolderPath(kCsidlStartup);
    default:
        return {};
    }
}

void CheckStartupName(const std::string& name) {
    bool plain = !name.empty() && name != "." && name != "..";
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            plain = false;
        }
    }
    if (!plain) {
        throw EStartupError(
            FormatText("\"%s\" cannot name a startup entry: a name may not be empty, \".\" or "
                       "\"..\", nor hold any of \\ / : * ? \" < > |",
                       name));
    }
}

void TStartupItem::ApplyState() {
    if (Enabled) {
        Show();
    } else {
        Hide();
    }
}

HKey TRegistryStartupItem::Root() const {
    return RunFrom == TRunFrom::rfCurrentUserKey ? kHKeyCurrentUser : kHKeyLocalMachine;
}

TRegRawValue TRegistryStartupItem::Data() const {
    if (Value && (Value->Type == kRegSz || Value->Type == kRegExpandSz) &&
        RegStringText(Value->Data) == Command) {
        return *Value;
    }
    // A command given anew keeps the kind of string it was read as.
    const bool expandable = Value && Value->Type == kRegExpandSz;
    return {expandable ? std::uint32_t{kRegExpandSz} : std::uint32_t{kRegSz}, RegStringData(Command)};
}

void TRegistryStartupItem::Move(const char* to, const char* from) {
    TRegistry reg(Platform().Registry);
    reg.SetRootKey(Root());
    // What the destination held before, to put back if the move cannot finish.
    TRegRawValue previous;
    const bool hadPrevious = reg.OpenKey(to, true) && reg.ReadRaw(DisplayName, &previous);
    reg.WriteRaw(DisplayName, Data()); // a refused key throws here, before anything is removed
    if (from == nullptr) {
        return;
    }
    TRegistry source(Platform().Registry);
    source.SetRootKey(Root());
    if (!source.OpenKeyReadOnly(from) || !source.ValueExists(DisplayName)) {
        return; // nothing to take away
    }
    if (source.OpenKey(from, false) && source.DeleteValue(DisplayName)) {
        return;
    }
    // The entry would now stand in both keys: undo the write and say so.
    if (hadPrevious) {
        reg.WriteRaw(DisplayName, previous);
    } else {
        reg.DeleteValue(DisplayName);
    }
    throw ERegistryError(FormatText("Failed to set data for '%s'", DisplayName));
}

void TRegistryStartupItem::Hide() {
    TStartupItem::Hide();
    Move(kRunHiddenKey, kRunKey);
}

void TRegistryStartupItem::Show() {
    TStartupItem::Show();
    Move(kRunKey, kRunHiddenKey);
}

void TRegistryStartupItem::Delete() {
    TStartupItem::Delete();
    TRegistry reg(Platform().Registry);
    reg.SetRootKey(Root());
    for (const char* key : {kRunHiddenKey, kRunKey}) {
        if (reg.OpenKey(key, false)) {
            reg.DeleteValue(DisplayName);
        }
    }
}

void TRegistryStartupItem::Save() {
    TStartupItem::Save();
    Move(kRunKey, nullptr);
}

std::string TFolderStartupItem::Folder() const {
    const std::string folder = StartupFolderOf(Platform(), RunFrom);
    if (folder.empty()) {
        throw EStartupError(RunFrom == TRunFrom::rfAllUsersFolder || RunFrom == TRunFrom::rfCurrentUserFolder
                                ? "The Startup folder cannot be found."
                                : "Choose where the entry starts from: a Startup folder or a Run key.");
    }
    return folder;
}

std::string TFolderStartupItem::OwnFileName(const std::string& folder) const {
    const std::string where = ExcludeTrailingBackslash(ExtractFilePath(FilePath));
    const std::string name = ExtractFileName(FilePath);
    if (name.empty() || name == "." || name == ".." ||
        !(SameText(where, ExcludeTrailingBackslash(folder)) || SameText(where, DisabledFolderOf(folder)))) {
        throw EStartupError(FormatText("\"%s\" is not in a Startup folder.", FilePath));
    }
    return name;
}

void TFolderStartupItem::Move(bool hide) {
    const std::string startup = Folder();
    const std::string name = OwnFileName(startup);
    const std::string disabled = DisabledFolderOf(startup);
    auto& files = Platform().Files;
    if (!files.DirectoryExists(disabled)) {
        files.MakeDirectory(disabled);
    }
    const std::string parked = IncludeTrailingBackslash(disabled) + name;
    if (hide) {
        files.MovePath(FilePath, parked, false);
    } else {
        files.MovePath(parked, IncludeTrailingBackslash(startup) + name, false);
    }
    files.RemoveEmptyDirectory(disabled); // only while it holds entries
}

void TFolderStartupItem::Hide() {
    TStartupItem::Hide();
    Move(true);
}

void TFolderStartupItem::Show() {
    TStartupItem::Show();
    Move(false);
}

void TFolderStartupItem::Delete() {
    TStartupItem::Delete();
    OwnFileName(Folder());
    Platform().Files.RemoveFile(FilePath);
}

void TFolderStartupItem::Save() {
    TStartupItem::Save();
    const std::string folder = Folder();
    CheckStartupName(DisplayName);
    CreateShortcut(Platform(), DisplayName, Command, "", folder);
}

} // namespace cv
