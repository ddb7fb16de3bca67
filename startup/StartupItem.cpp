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

bool IsBlankName(const std::string& name) {
    return name.find_first_not_of(" \t") == std::string::npos;
}

void CheckStartupName(const std::string& name) {
    bool plain = !IsBlankName(name) && name != "." && name != "..";
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

TCommandParts SplitCommand(const TPlatform& platform, const std::string& command) {
    if (!command.empty() && command.front() == '"') {
        const auto close = command.find('"', 1);
        if (close != std::string::npos) {
            const auto rest = command.find_first_not_of(' ', close + 1);
            return {command.substr(1, close - 1), rest == std::string::npos ? "" : command.substr(rest)};
        }
    }
    // The longest run of words that names a file is the program.
    for (auto end = command.size(); end != std::string::npos && end > 0;
         end = end == 0 ? std::string::npos : command.rfind(' ', end - 1)) {
        const std::string program = command.substr(0, end);
        if (platform.Files.FileExists(program)) {
            const auto rest = command.find_first_not_of(' ', end);
            return {program, rest == std::string::npos ? "" : command.substr(rest)};
        }
    }
    return {command, ""};
}

bool IsCommandType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz;
}

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string TakenMessage(const std::string& what, const std::string& name, const std::string& store) {
    return what + " " + Quoted(name) + ": " + Quoted(store) + " already holds an entry of that name.";
}

std::string RunKeyText(HKey root, TRegView view, bool parked) {
    return FullKeyText(root, parked ? kRunHiddenKey : kRunKey, view);
}

std::string RefusedMoveText(bool park) {
    return park ? "Cannot switch off" : "Cannot switch on";
}

} // namespace

void TStartupItem::ApplyState() {
    if (Enabled) {
        Show();
    } else {
        Hide();
    }
}

void TStartupItem::ReadApproved() {
    const auto place = ApprovedPlace();
    const TApprovedRecord record =
        place ? ReadApprovedRecord(Platform().Registry, *place) : TApprovedRecord{};
    OffInWindows = record.Off;
    OffInWindowsSince = record.OffSince;
}

TApprovedChange TStartupItem::PrepareSwitchOn() const {
    const auto place = ApprovedPlace();
    return place ? TApprovedChange::SwitchOn(Platform().Registry, *place) : TApprovedChange();
}

TApprovedChange TStartupItem::PrepareRemove(bool twinRemains) const {
    const auto place = ApprovedPlace();
    return place && !twinRemains ? TApprovedChange::Remove(Platform().Registry, *place) : TApprovedChange();
}

void TStartupItem::SaveRecordCopy(TDeletedStore& store, std::vector<TDeletedEntry>& copies) const {
    const auto place = ApprovedPlace();
    if (!place || !ReadApprovedRecord(Platform().Registry, *place).Known) {
        return; // no record, or one of a form Delete leaves alone
    }
    if (auto copy =
            store.SaveValue(place->Root, place->View, place->Key, place->Name, RecordCopyName(DisplayName))) {
        copies.push_back(*copy);
    }
}

void TStartupItem::SwitchedOn() {
    OffInWindows = false;
    OffInWindowsSince = 0;
}

HKey TRegistryStartupItem::Root() const {
    return RunFrom == TRunFrom::rfCurrentUserKey ? kHKeyCurrentUser : kHKeyLocalMachine;
}

std::string TRegistryStartupItem::KeyText() const {
    return RunKeyText(Root(), View, Parked);
}

std::optional<TApprovedPlace> TRegistryStartupItem::ApprovedPlace() const {
    return RunApprovedPlace(Platform().Registry, Root(), View, DisplayName);
}

TRegistry TRegistryStartupItem::Reader() const {
    TRegistry reg(Platform().Registry, kKeyRead);
    reg.SetRootKey(Root());
    reg.SetView(View);
    return reg;
}

TRegistry TRegistryStartupItem::Writer() const {
    TRegistry reg(Platform().Registry, kKeyRead | kKeyWrite);
    reg.SetRootKey(Root());
    reg.SetView(View);
    return reg;
}

void TRegistryStartupItem::OpenForWriting(TRegistry& reg, const char* key, bool create) const {
    if (!reg.OpenKey(key, create)) {
        ThrowRefusedChange("change", FullKeyText(Root(), key, View), reg.LastError());
    }
}

TRegRawValue TRegistryStartupItem::Data() const {
    if (Value && IsCommandType(Value->Type) && RegStringText(Value->Data) == Command) {
        return *Value;
    }
    // A command given anew keeps the kind of string it was read as.
    const bool expandable = Value && Value->Type == kRegExpandSz;
    return {expandable ? std::uint32_t{kRegExpandSz} : std::uint32_t{kRegSz}, RegStringData(Command)};
}

void TRegistryStartupItem::Move(bool park) {
    const char* const to = park ? kRunHiddenKey : kRunKey;
    const char* const from = park ? kRunKey : kRunHiddenKey;
    TRegistry reg = Reader();
    TRegistry source = Reader();
    const bool inTarget = reg.OpenKey(to, false) && reg.ValueExists(DisplayName);
    const bool inSource = source.OpenKey(from, false) && source.ValueExists(DisplayName);
    if (inTarget && (!inSource || Parked == park)) {
        Parked = park; // already there; a twin in the other key is another entry
        return;
    }
    if (inTarget) {
        // Its twin stands there: moving would overwrite the twin's command.
        throw EStartupError(TakenMessage(RefusedMoveText(park), DisplayName, RunKeyText(Root(), View, park)));
    }
    if (!inSource) {
        return; // removed since it was read (by its program's uninstaller, say): it stays removed
    }
    // Both keys are opened for writing before anything is written, so a
    // key the user may not change stops the move before it starts.
    TRegistry writer = Writer();
    TRegistry remover = Writer();
    OpenForWriting(remover, from, false);
    OpenForWriting(writer, to, true);
    try {
        writer.WriteRaw(DisplayName, Data());
    } catch (const ERegistryError&) {
        ThrowRefusedChange("change", RunKeyText(Root(), View, park), writer.LastError());
    }
    if (!remover.DeleteValue(DisplayName)) {
        // The entry would now stand in both keys: undo the write and say so.
        const long error = remover.LastError();
        writer.DeleteValue(DisplayName);
        ThrowRefusedChange("change", RunKeyText(Root(), View, !park), error);
    }
    Parked = park;
}

void TRegistryStartupItem::Hide() {
    TStartupItem::Hide();
    Move(true);
}

void TRegistryStartupItem::Show() {
    TStartupItem::Show();
    TApprovedChange record = PrepareSwitchOn();
    Move(false);
    record.Commit();
    SwitchedOn();
}

void TRegistryStartupItem::Delete() {
    TStartupItem::Delete();
    // Only the key it stands in: a twin of the same name in the other key
    // is another entry, and Windows' record of the name is its record too.
    const char* const key = Parked ? kRunHiddenKey : kRunKey;
    TRegistry twin = Reader();
    TApprovedChange record =
        PrepareRemove(twin.OpenKey(Parked ? kRunKey : kRunHiddenKey, false) && twin.ValueExists(DisplayName));
    TRegistry reader = Reader();
    if (reader.OpenKey(key, false) && reader.ValueExists(DisplayName)) {
        TRegistry reg = Writer();
        OpenForWriting(reg, key, false);
        if (!reg.DeleteValue(DisplayName) && reader.ValueExists(DisplayName)) {
            ThrowRefusedChange("delete " + Quoted(DisplayName) + " from", KeyText(), reg.LastError());
        }
    }
    record.Commit(); // also when the value was gone already: the record would be left alone
}

std::vector<TDeletedEntry> TRegistryStartupItem::SaveCopy(TDeletedStore& store) const {
    std::vector<TDeletedEntry> copies;
    if (auto copy =
            store.SaveValue(Root(), View, Parked ? kRunHiddenKey : kRunKey, DisplayName, DisplayName)) {
        copies.push_back(*copy);
    }
    SaveRecordCopy(store, copies);
    return copies;
}

void TRegistryStartupItem::CheckSave() const {
    if (IsBlankName(DisplayName)) {
        throw EStartupError("A startup entry needs a name."); // an empty one would be the key's default value
    }
    for (const bool park : {false, true}) {
        TRegistry reg = Reader();
        if (reg.OpenKey(park ? kRunHiddenKey : kRunKey, false) && reg.ValueExists(DisplayName)) {
            throw EStartupError(TakenMessage("Cannot add", DisplayName, RunKeyText(Root(), View, park)));
        }
    }
}

void TRegistryStartupItem::Save() {
    TStartupItem::Save();
    CheckSave();
    // A program path with blanks, given bare, is quoted, so Windows cannot
    // take its first word for the program.
    const TCommandParts parts = SplitCommand(Platform(), Command);
    if (!parts.Program.empty() && parts.Program.find(' ') != std::string::npos && Command.front() != '"') {
        Command = "\"" + parts.Program + "\"" + (parts.Arguments.empty() ? "" : " " + parts.Arguments);
    }
    TRegistry reg = Writer();
    OpenForWriting(reg, kRunKey, true);
    try {
        reg.WriteRaw(DisplayName, Data());
    } catch (const ERegistryError&) {
        ThrowRefusedChange("change", KeyText(), reg.LastError());
    }
    Parked = false;
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

void TFolderStartupItem::CheckNoLinks(const std::string& folder) const {
    auto& files = Platform().Files;
    for (const std::string& path : {FilePath, ExcludeTrailingBackslash(folder), DisabledFolderOf(folder)}) {
        const std::uint32_t attributes = files.GetAttributes(path);
        if (attributes != kNoAttributes && (attributes & kFileAttributeReparsePoint) != 0) {
            throw EStartupError(Quoted(path) + " is a link to another place: it is left as it is.");
        }
    }
}

void TFolderStartupItem::Move(bool park) {
    const std::string startup = Folder();
    const std::string name = OwnFileName(startup);
    CheckNoLinks(startup);
    const std::string disabled = DisabledFolderOf(startup);
    const std::string to = IncludeTrailingBackslash(park ? disabled : startup) + name;
    auto& files = Platform().Files;
    if (SameText(ExcludeTrailingBackslash(ExtractFilePath(FilePath)),
                 ExcludeTrailingBackslash(ExtractFilePath(to)))) {
        Parked = park;
        files.RemoveEmptyDirectory(disabled); // only while it holds entries
        return;                               // already there
    }
    if (!files.FileExists(FilePath) && !files.DirectoryExists(FilePath)) {
        return; // removed since it was read: it stays removed
    }
    if (files.FileExists(to) || files.DirectoryExists(to)) {
        throw EStartupError(TakenMessage(RefusedMoveText(park), DisplayName, park ? disabled : startup));
    }
    if (!files.DirectoryExists(disabled)) {
        files.MakeDirectory(disabled);
    }
    const bool moved = files.MovePath(FilePath, to, false);
    files.RemoveEmptyDirectory(disabled); // only while it holds entries
    if (!moved) {
        throw EStartupError(Quoted(FilePath) + " could not be moved to " + Quoted(ExtractFilePath(to)) + ".");
    }
    FilePath = to;
    Parked = park;
}

void TFolderStartupItem::Hide() {
    TStartupItem::Hide();
    Move(true);
}

void TFolderStartupItem::Show() {
    TStartupItem::Show();
    TApprovedChange record = PrepareSwitchOn();
    Move(false);
    record.Commit();
    SwitchedOn();
}

std::vector<TDeletedEntry> TFolderStartupItem::SaveCopy(TDeletedStore& store) const {
    const std::string folder = Folder();
    OwnFileName(folder);
    CheckNoLinks(folder); // what a link leads to is not the entry's to keep
    std::vector<TDeletedEntry> copies;
    if (auto copy = store.SaveFile(FilePath, DisplayName)) {
        copies.push_back(*copy);
    }
    SaveRecordCopy(store, copies);
    return copies;
}

void TFolderStartupItem::Delete() {
    TStartupItem::Delete();
    const std::string startup = Folder();
    const std::string name = OwnFileName(startup);
    CheckNoLinks(startup);
    auto& files = Platform().Files;
    const std::string twin = IncludeTrailingBackslash(Parked ? startup : DisabledFolderOf(startup)) + name;
    TApprovedChange record = PrepareRemove(files.FileExists(twin) || files.DirectoryExists(twin));
    if (!files.RemoveFile(FilePath) && (files.FileExists(FilePath) || files.DirectoryExists(FilePath))) {
        throw EStartupError(Quoted(FilePath) + " could not be deleted.");
    }
    record.Commit();
}

std::optional<TApprovedPlace> TFolderStartupItem::ApprovedPlace() const {
    const std::string name = ExtractFileName(FilePath);
    if (name.empty() || (RunFrom != TRunFrom::rfAllUsersFolder && RunFrom != TRunFrom::rfCurrentUserFolder)) {
        return std::nullopt;
    }
    return FolderApprovedPlace(Platform().Registry,
                               RunFrom == TRunFrom::rfAllUsersFolder ? kHKeyLocalMachine : kHKeyCurrentUser,
                               name);
}

void TFolderStartupItem::CheckSave() const {
    const std::string folder = Folder();
    CheckStartupName(DisplayName);
    const std::string file = ShortcutFileName(DisplayName);
    for (const std::string& where : {folder, DisabledFolderOf(folder)}) {
        const std::string path = IncludeTrailingBackslash(where) + file;
        if (Platform().Files.FileExists(path) || Platform().Files.DirectoryExists(path)) {
            throw EStartupError(TakenMessage("Cannot add", file, where));
        }
    }
}

void TFolderStartupItem::Save() {
    TStartupItem::Save();
    CheckSave();
    const std::string folder = Folder();
    const std::string file = ShortcutFileName(DisplayName);
    const TCommandParts parts = SplitCommand(Platform(), Command);
    if (!CreateShortcut(Platform(), DisplayName, parts.Program, parts.Arguments, folder)) {
        throw EStartupError("The shortcut " + Quoted(IncludeTrailingBackslash(folder) + file) +
                            " could not be made.");
    }
    FilePath = IncludeTrailingBackslash(folder) + file;
    Parked = false;
}

} // namespace cv
