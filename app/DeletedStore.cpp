#include "app/DeletedStore.h"

#include "app/UserFiles.h"
#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/TextLines.h"
#include "startup/StartupApproved.h"
#include "startup/StartupItem.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

namespace cv {

namespace {

constexpr const char* kRecordExtension = ".txt";
constexpr const char* kStoreFolderName = "Deleted";
// A Startup folder's entry is a shortcut; anything far larger is no entry
// a copy should be made of in memory.
constexpr std::size_t kLargestFile = 64u << 20;

const char* KindName(TDeletedKind kind) {
    switch (kind) {
    case TDeletedKind::Key:
        return "Key";
    case TDeletedKind::Value:
        return "Value";
    case TDeletedKind::File:
        return "File";
    }
    return "";
}

// Record fields keep line breaks and backslashes as escapes, so a name
// holding CR or LF stays one line.
std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string DataExtension(TDeletedKind kind) {
    return kind == TDeletedKind::File ? ".dat" : ".reg";
}

std::string RecordText(const TDeletedEntry& entry) {
    std::string text;
    const auto line = [&](const char* name, const std::string& value) {
        text += std::string(name) + "=" + Escape(value) + "\r\n";
    };
    line("Kind", KindName(entry.Kind));
    line("Name", entry.Name);
    line("Deleted", std::to_string(entry.Deleted));
    if (entry.Kind == TDeletedKind::File) {
        line("File", entry.FilePath);
    } else {
        line("Root", RootKeyName(entry.Root));
        line("View", std::to_string(entry.View));
        line("Key", entry.KeyPath);
        if (entry.Kind == TDeletedKind::Value) {
            line("Value", entry.ValueName);
        }
    }
    return text;
}

bool ParseNumber(const std::string& text, std::int64_t* number) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *number = std::stoll(text);
    return true;
}

// False for a record that is not whole.
bool ParseRecord(const std::string& text, TDeletedEntry* entry) {
    bool kind = false;
    bool deleted = false;
    for (const std::string& line : SplitTextLines(text)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(0, equals);
        const std::string value = Unescape(line.substr(equals + 1));
        if (name == "Kind") {
            for (const TDeletedKind k : {TDeletedKind::Key, TDeletedKind::Value, TDeletedKind::File}) {
                if (value == KindName(k)) {
                    entry->Kind = k;
                    kind = true;
                }
            }
        } else if (name == "Name") {
            entry->Name = value;
        } else if (name == "Deleted") {
            deleted = ParseNumber(value, &entry->Deleted);
        } else if (name == "Root") {
            std::string rest;
            if (!SplitRegistryKeyName(value, &entry->Root, &rest) || !rest.empty()) {
                entry->Root = 0;
            }
        } else if (name == "View") {
            std::int64_t view = 0;
            if (ParseNumber(value, &view) &&
                (view == kRegViewNative || view == kRegView64 || view == kRegView32)) {
                entry->View = static_cast<TRegView>(view);
            }
        } else if (name == "Key") {
            entry->KeyPath = value;
        } else if (name == "Value") {
            entry->ValueName = value;
        } else if (name == "File") {
            entry->FilePath = value;
        }
    }
    if (!kind || !deleted) {
        return false;
    }
    if (entry->Kind == TDeletedKind::File) {
        return !entry->FilePath.empty();
    }
    return entry->Root != 0 && !entry->KeyPath.empty();
}

// Whether the key, named as a registry file names it, is the key or lies under it.
bool IsSameOrUnder(const std::string& path, const std::string& top) {
    const std::string a = UpperText(path);
    const std::string b = UpperText(top);
    return a == b || a.starts_with(b + "\\");
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// A copy of a key or a value, before it has its name and time.
TDeletedEntry RegistryEntry(TDeletedKind kind, HKey root, TRegView view, const std::string& keyPath,
                            const std::string& name) {
    TDeletedEntry entry;
    entry.Kind = kind;
    entry.Name = name;
    entry.Root = root;
    entry.View = view;
    entry.KeyPath = keyPath;
    return entry;
}

// A name the store gives a copy: "YYYYMMDD-HHMMSS-" and a number.
bool IsCopyId(const std::string& id) {
    if (id.size() < 20 || id[8] != '-' || id[15] != '-') {
        return false;
    }
    for (std::size_t i = 0; i < id.size(); ++i) {
        if (i != 8 && i != 15 && !std::isdigit(static_cast<unsigned char>(id[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string DeletedWhere(const TDeletedEntry& entry) {
    if (entry.Kind == TDeletedKind::File) {
        return ExcludeTrailingBackslash(ExtractFilePath(entry.FilePath));
    }
    return FullKeyText(entry.Root, entry.KeyPath, entry.View);
}

std::string ShortWhere(const std::string& where, std::size_t longest) {
    // A share's first part is its server and share name.
    const bool share = where.starts_with("\\\\");
    const std::size_t server = share ? where.find('\\', 2) : 0;
    const std::size_t first =
        share ? (server == std::string::npos ? server : where.find('\\', server + 1)) : where.find('\\');
    const std::size_t last = where.rfind('\\');
    const std::size_t before =
        last == std::string::npos || last == 0 ? std::string::npos : where.rfind('\\', last - 1);
    if (where.size() <= longest || first == std::string::npos || before == std::string::npos ||
        before <= first) {
        return where;
    }
    return where.substr(0, first) + "\\..." + where.substr(before);
}

std::string RecordCopyName(const std::string& entryName) {
    return entryName + " (Windows' startup switch)";
}

std::vector<TDeletedEntry> CompanionsOf(const std::vector<TDeletedEntry>& chosen,
                                        const std::vector<TDeletedEntry>& all) {
    std::vector<TDeletedEntry> companions;
    const auto listed = [](const std::vector<TDeletedEntry>& in, const TDeletedEntry& entry) {
        return std::any_of(in.begin(), in.end(), [&](const TDeletedEntry& e) { return e.Id == entry.Id; });
    };
    for (const TDeletedEntry& entry : chosen) {
        if (entry.Kind == TDeletedKind::Key) {
            continue;
        }
        // Made in the same delete: the same second, or the next.
        for (const TDeletedEntry& other : all) {
            if (other.Kind == TDeletedKind::Value && other.Name == RecordCopyName(entry.Name) &&
                other.Deleted >= entry.Deleted && other.Deleted <= entry.Deleted + 1 &&
                !listed(chosen, other) && !listed(companions, other)) {
                companions.push_back(other);
            }
        }
    }
    return companions;
}

std::string ListedWhere(const TDeletedEntry& entry) {
    const bool view32 =
        entry.Kind != TDeletedKind::File && entry.Root == kHKeyLocalMachine && (entry.View & kRegView32) != 0;
    return ShortWhere(DeletedWhere(entry)) + (view32 ? " (32-bit)" : "");
}

std::string DeletedTimeText(std::int64_t seconds, const ILocale& locale) {
    return LocalDateTimeText(FileTimeOfUnixSeconds(seconds), locale);
}

TDeletedStore::TDeletedStore(const TPlatform& platform, std::string folder)
    : Clock([] {
          return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                               std::chrono::system_clock::now().time_since_epoch())
                                               .count());
      }),
      FPlatform(platform), FFolder(std::move(folder)) {}

std::string TDeletedStore::DefaultFolder(const TPlatform& platform) {
    const std::string appData = platform.Shell.GetSpecialFolderPath(kCsidlAppData);
    if (appData.empty()) {
        return {};
    }
    return IncludeTrailingBackslash(appData) + kUserFilesFolderName + "\\" + kStoreFolderName;
}

std::string TDeletedStore::Folder() const {
    return FFolder.empty() ? DefaultFolder(FPlatform) : FFolder;
}

std::string TDeletedStore::NewId(std::int64_t now) const {
    const TCivilTime utc = CivilTimeOf(FileTimeOfUnixSeconds(now));
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", utc.Year, utc.Month, utc.Day, utc.Hour,
                  utc.Minute, utc.Second);
    const std::string folder = IncludeTrailingBackslash(Folder());
    for (int n = 1;; ++n) {
        char id[48];
        std::snprintf(id, sizeof id, "%s-%04d", stamp, n);
        if (!FPlatform.Files.FileExists(folder + id + kRecordExtension) &&
            !FPlatform.Files.FileExists(folder + id + ".reg") &&
            !FPlatform.Files.FileExists(folder + id + ".dat")) {
            return id;
        }
    }
}

TDeletedEntry TDeletedStore::Keep(TDeletedEntry entry, const std::string& data,
                                  const std::string& extension) {
    const std::string folder = Folder();
    const std::string what = Quoted(entry.Name.empty() ? DeletedWhere(entry) : entry.Name);
    if (folder.empty()) {
        throw EBackupError(what + " was not deleted: there is no application data folder to keep a copy in.");
    }
    // The folder and the ones it lies in, as far as they are missing.
    for (std::size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (!FPlatform.Files.DirectoryExists(part)) {
            FPlatform.Files.MakeDirectory(part);
        }
    }
    if (!FPlatform.Files.DirectoryExists(folder)) {
        FPlatform.Files.MakeDirectory(folder);
    }
    entry.Deleted = Clock();
    entry.Id = NewId(entry.Deleted);
    const std::string base = IncludeTrailingBackslash(folder) + entry.Id;
    const std::string record = RecordText(entry);
    const auto written = [&](const std::string& path, const std::string& bytes) {
        std::string back;
        return FPlatform.Files.WriteFile(path, bytes) && FPlatform.Files.ReadFile(path, &back) &&
               back == bytes;
    };
    // The record last: a copy without its record is not listed.
    if (!written(base + extension, data) || !written(base + kRecordExtension, record)) {
        FPlatform.Files.RemoveFile(base + kRecordExtension);
        FPlatform.Files.RemoveFile(base + extension);
        throw EBackupError(what + " was not deleted: its copy could not be written to " + Quoted(folder) +
                           ".");
    }
    Prune(entry.Id);
    return entry;
}

std::optional<TDeletedEntry> TDeletedStore::SaveKey(HKey root, TRegView view, const std::string& path,
                                                    const std::string& name) {
    const TDeletedEntry entry = RegistryEntry(TDeletedKind::Key, root, view, path, name);
    const std::string what = Quoted(name.empty() ? DeletedWhere(entry) : name);
    {
        // Only a key that is not there needs no copy; one that cannot be
        // opened may well be there.
        TRegistry reg(FPlatform.Registry, kKeyRead);
        reg.SetRootKey(root);
        reg.SetView(view);
        if (!reg.OpenKey(path, false)) {
            if (reg.LastError() == kErrorFileNotFound) {
                return std::nullopt;
            }
            throw EBackupError(what + " was not deleted: its key could not be read to keep a copy.");
        }
    }
    std::string bytes;
    bool whole = true;
    if (!ExportRegFile(FPlatform.Registry, FullKeyText(root, path, view), &bytes, &whole)) {
        throw EBackupError(what + " was not deleted: its key could not be read to keep a copy.");
    }
    if (!whole) {
        throw EBackupError(what + " was not deleted: its key holds a registry link or a value whose name " +
                           "holds a NUL character, which a copy cannot keep.");
    }
    return Keep(entry, bytes, ".reg");
}

std::optional<TDeletedEntry> TDeletedStore::SaveValue(HKey root, TRegView view, const std::string& keyPath,
                                                      const std::string& valueName, const std::string& name) {
    TRegRawValue value;
    {
        // Only a value that is not there needs no copy.
        TRegistry reg(FPlatform.Registry, kKeyRead);
        reg.SetRootKey(root);
        reg.SetView(view);
        const bool read = reg.OpenKey(keyPath, false) && reg.ReadRaw(valueName, &value);
        if (!read && reg.LastError() == kErrorFileNotFound) {
            return std::nullopt; // the key or the value is not there
        }
        if (!read) {
            throw EBackupError(Quoted(name) +
                               " was not deleted: its value could not be read to keep a copy.");
        }
    }
    TDeletedEntry entry = RegistryEntry(TDeletedKind::Value, root, view, keyPath, name);
    entry.ValueName = valueName;
    return Keep(entry, RegFileOfValue(FullKeyText(root, keyPath, view), valueName, value.Type, value.Data),
                ".reg");
}

std::optional<TDeletedEntry> TDeletedStore::SaveFile(const std::string& path, const std::string& name) {
    if (!FPlatform.Files.FileExists(path)) {
        return std::nullopt;
    }
    std::string bytes;
    if (!FPlatform.Files.ReadFile(path, &bytes)) {
        throw EBackupError(Quoted(path) + " was not deleted: it could not be read to keep a copy.");
    }
    if (bytes.size() > kLargestFile) {
        throw EBackupError(Quoted(path) + " was not deleted: it is too large to keep a copy of.");
    }
    TDeletedEntry entry;
    entry.Kind = TDeletedKind::File;
    entry.Name = name;
    entry.FilePath = path;
    return Keep(entry, bytes, ".dat");
}

std::string TDeletedStore::CurrentData(const TDeletedEntry& entry) const {
    std::string bytes;
    switch (entry.Kind) {
    case TDeletedKind::Key:
        if (!ExportRegFile(FPlatform.Registry, FullKeyText(entry.Root, entry.KeyPath, entry.View), &bytes)) {
            bytes.clear();
        }
        break;
    case TDeletedKind::Value: {
        TRegistry reg(FPlatform.Registry, kKeyRead);
        reg.SetRootKey(entry.Root);
        reg.SetView(entry.View);
        TRegRawValue value;
        if (reg.OpenKey(entry.KeyPath, false) && reg.ReadRaw(entry.ValueName, &value)) {
            bytes = RegFileOfValue(FullKeyText(entry.Root, entry.KeyPath, entry.View), entry.ValueName,
                                   value.Type, value.Data);
        }
        break;
    }
    case TDeletedKind::File:
        if (!FPlatform.Files.FileExists(entry.FilePath) ||
            !FPlatform.Files.ReadFile(entry.FilePath, &bytes)) {
            bytes.clear();
        }
        break;
    }
    return bytes;
}

void TDeletedStore::DropIfUnchanged(const TDeletedEntry& entry) const {
    std::string kept;
    const std::string now = CurrentData(entry);
    if (!now.empty() &&
        FPlatform.Files.ReadFile(IncludeTrailingBackslash(Folder()) + entry.Id + DataExtension(entry.Kind),
                                 &kept) &&
        kept == now) {
        Forget(entry);
    }
}

std::vector<TDeletedEntry> TDeletedStore::List() const {
    std::vector<TDeletedEntry> entries;
    const std::string folder = Folder();
    if (folder.empty()) {
        return entries;
    }
    for (const TFoundFile& found : FPlatform.Files.FindFiles(folder, std::string("*") + kRecordExtension)) {
        if ((found.Attributes & kFileAttributeDirectory) != 0 ||
            !SameText(ExtractFileExt(found.Name), kRecordExtension)) {
            continue;
        }
        TDeletedEntry entry;
        entry.Id = found.Name.substr(0, found.Name.size() - std::string(kRecordExtension).size());
        const std::string base = IncludeTrailingBackslash(folder) + entry.Id;
        std::string text;
        if (!FPlatform.Files.ReadFile(base + kRecordExtension, &text) || !ParseRecord(text, &entry) ||
            !FPlatform.Files.FileExists(base + DataExtension(entry.Kind))) {
            continue;
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const TDeletedEntry& a, const TDeletedEntry& b) {
        return a.Deleted != b.Deleted ? a.Deleted > b.Deleted : a.Id > b.Id;
    });
    return entries;
}

void TDeletedStore::Forget(const TDeletedEntry& entry) const {
    const std::string base = IncludeTrailingBackslash(Folder()) + entry.Id;
    FPlatform.Files.RemoveFile(base + kRecordExtension);
    FPlatform.Files.RemoveFile(base + DataExtension(entry.Kind));
}

void TDeletedStore::Prune(const std::string& keep) const {
    // Names alone tell the order: each begins with the time it was made.
    // Files named otherwise are no copies of the program's and stay; the
    // copy just made stays whatever the clock said.
    const std::string folder = IncludeTrailingBackslash(Folder());
    std::vector<std::string> ids;
    for (const TFoundFile& found : FPlatform.Files.FindFiles(folder, std::string("*") + kRecordExtension)) {
        const std::string id = found.Name.substr(0, found.Name.size() - std::string(kRecordExtension).size());
        if (SameText(ExtractFileExt(found.Name), kRecordExtension) && IsCopyId(id)) {
            ids.push_back(id);
        }
    }
    if (ids.size() <= Limit) {
        return;
    }
    std::sort(ids.begin(), ids.end());
    std::size_t surplus = ids.size() - Limit;
    for (std::size_t i = 0; i < ids.size() && surplus > 0; ++i) {
        if (ids[i] == keep) {
            continue;
        }
        for (const char* extension : {kRecordExtension, ".reg", ".dat"}) {
            FPlatform.Files.RemoveFile(folder + ids[i] + extension);
        }
        --surplus;
    }
}

bool TDeletedStore::IsBack(const TDeletedEntry& entry) const {
    if (entry.Kind == TDeletedKind::File) {
        return FPlatform.Files.FileExists(entry.FilePath) || FPlatform.Files.DirectoryExists(entry.FilePath);
    }
    TRegistry reg(FPlatform.Registry, kKeyRead);
    reg.SetRootKey(entry.Root);
    reg.SetView(entry.View);
    if (entry.Kind == TDeletedKind::Key) {
        return reg.KeyExists(entry.KeyPath);
    }
    return reg.OpenKey(entry.KeyPath, false) && reg.ValueExists(entry.ValueName);
}

bool TDeletedStore::IsOwnPlace(const TDeletedEntry& entry) const {
    if (entry.Kind == TDeletedKind::File) {
        const std::string folder = ExcludeTrailingBackslash(ExtractFilePath(entry.FilePath));
        for (const TRunFrom store : {TRunFrom::rfCurrentUserFolder, TRunFrom::rfAllUsersFolder}) {
            const std::string startup = StartupFolderOf(FPlatform, store);
            if (!startup.empty() && !ExtractFileName(entry.FilePath).empty() &&
                (SameText(folder, ExcludeTrailingBackslash(startup)) ||
                 SameText(folder, DisabledFolderOf(startup)))) {
                return true;
            }
        }
        return false;
    }
    if (entry.Root != kHKeyLocalMachine && entry.Root != kHKeyCurrentUser) {
        return false;
    }
    const std::string key = UpperText(entry.KeyPath);
    if (entry.Kind == TDeletedKind::Key) {
        const std::string uninstall = UpperText(kUninstallKey) + "\\";
        return key.starts_with(uninstall) && key.size() > uninstall.size() &&
               key.find('\\', uninstall.size()) == std::string::npos;
    }
    const std::string approved = UpperText(kStartupApprovedKey) + "\\";
    for (const std::string& own : {UpperText(kRunKey), UpperText(kRunHiddenKey), approved + "RUN",
                                   approved + "RUN32", approved + "STARTUPFOLDER"}) {
        if (key == own) {
            return true;
        }
    }
    return false;
}

TDeletedStore::TRestored TDeletedStore::Restore(const TDeletedEntry& entry, bool replace) {
    // A record names where its copy goes; anything outside the places the
    // program deletes from is refused, whatever the record says.
    if (!IsOwnPlace(entry)) {
        throw EBackupError("The copy of " + Quoted(entry.Name) + " names " + Quoted(DeletedWhere(entry)) +
                           ", where Clearvane deletes nothing: nothing was restored.");
    }
    if (!replace && IsBack(entry)) {
        return TRestored::IsBack;
    }
    std::string data;
    const std::string base = IncludeTrailingBackslash(Folder()) + entry.Id;
    if (!FPlatform.Files.ReadFile(base + DataExtension(entry.Kind), &data)) {
        throw EBackupError("The copy of " + Quoted(entry.Name) + " could not be read.");
    }
    switch (entry.Kind) {
    case TDeletedKind::Key:
        RestoreKey(entry, data, replace);
        break;
    case TDeletedKind::Value:
        RestoreValue(entry, data, replace);
        break;
    case TDeletedKind::File:
        RestoreFile(entry, data, replace);
        break;
    }
    Forget(entry);
    return TRestored::Done;
}

namespace {

// The copy's sections, when each writes the key named or a key under it
// (with values only: nothing is removed); else EBackupError.
TRegFileContents CheckedCopy(const std::string& data, const TDeletedEntry& entry, bool keyAndBelow) {
    TRegFileContents contents;
    const std::string top = FullKeyText(entry.Root, entry.KeyPath, entry.View);
    const std::string refused = "The copy of " + Quoted(entry.Name) + " does not hold " + Quoted(top) +
                                (keyAndBelow ? " alone" : "") + ": nothing was restored.";
    if (!ParseRegFile(data, &contents) || contents.BadLines != 0 || contents.RemovesValues ||
        contents.Sections.empty()) {
        throw EBackupError(refused);
    }
    for (const TRegFileSection& section : contents.Sections) {
        const std::string key = RootKeyName(section.Root) + "\\" + section.Path;
        if (section.Remove || section.Root == 0 ||
            !(keyAndBelow ? IsSameOrUnder(key, top) : UpperText(key) == UpperText(top))) {
            throw EBackupError(refused);
        }
    }
    return contents;
}

} // namespace

void TDeletedStore::RestoreKey(const TDeletedEntry& entry, const std::string& data, bool replace) {
    const TRegFileContents contents = CheckedCopy(data, entry, true);
    TRegistry reg(FPlatform.Registry, kKeyRead);
    reg.SetRootKey(entry.Root);
    reg.SetView(entry.View);
    if (replace && reg.KeyExists(entry.KeyPath)) {
        // What stands there now is deleted in turn, so it is kept first.
        SaveKey(entry.Root, entry.View, entry.KeyPath, entry.Name);
        if (!reg.DeleteKey(entry.KeyPath)) {
            ThrowRefusedChange("replace", DeletedWhere(entry), reg.LastError());
        }
    }
    // The key's parent must take a new key before anything is written.
    TRegistry writer(FPlatform.Registry, kKeyWrite);
    writer.SetRootKey(entry.Root);
    writer.SetView(entry.View);
    const std::string parent = ExcludeTrailingBackslash(ExtractFilePath(entry.KeyPath));
    if (!parent.empty() && !writer.OpenKey(parent, true)) {
        ThrowRefusedChange("restore", DeletedWhere(entry), writer.LastError());
    }
    for (const TRegFileSection& section : contents.Sections) {
        if (!ApplyRegFileSection(FPlatform.Registry, section)) {
            throw ERegistryError(Quoted(entry.Name) + " was restored only in part: " +
                                 Quoted(section.Written) + " could not be written. Its copy is kept.");
        }
    }
}

void TDeletedStore::RestoreValue(const TDeletedEntry& entry, const std::string& data, bool replace) {
    const TRegFileContents contents = CheckedCopy(data, entry, false);
    const TRegFileValue* saved = nullptr;
    for (const TRegFileSection& section : contents.Sections) {
        for (const TRegFileValue& value : section.Values) {
            if (saved != nullptr || !SameText(value.Name, entry.ValueName)) {
                throw EBackupError("The copy of " + Quoted(entry.Name) +
                                   " holds more than its value: nothing was restored.");
            }
            saved = &value;
        }
    }
    if (saved == nullptr) {
        throw EBackupError("The copy of " + Quoted(entry.Name) + " holds no value: nothing was restored.");
    }
    if (replace) {
        SaveValue(entry.Root, entry.View, entry.KeyPath, entry.ValueName, entry.Name);
    }
    TRegistry reg(FPlatform.Registry, kKeyWrite | kKeyQueryValue);
    reg.SetRootKey(entry.Root);
    reg.SetView(entry.View);
    if (!reg.OpenKey(entry.KeyPath, true)) {
        ThrowRefusedChange("restore " + Quoted(entry.ValueName) + " in", DeletedWhere(entry),
                           reg.LastError());
    }
    try {
        reg.WriteRaw(entry.ValueName, saved->Data);
    } catch (const ERegistryError&) {
        ThrowRefusedChange("restore " + Quoted(entry.ValueName) + " in", DeletedWhere(entry),
                           reg.LastError());
    }
}

void TDeletedStore::RestoreFile(const TDeletedEntry& entry, const std::string& data, bool replace) {
    auto& files = FPlatform.Files;
    const std::string folder = ExcludeTrailingBackslash(ExtractFilePath(entry.FilePath));
    if (files.DirectoryExists(entry.FilePath)) {
        throw EBackupError(Quoted(entry.FilePath) + " is a folder now: nothing was restored.");
    }
    if (replace && files.FileExists(entry.FilePath)) {
        SaveFile(entry.FilePath, entry.Name);
    }
    if (!files.DirectoryExists(folder)) {
        files.MakeDirectory(folder);
    }
    std::string back;
    if (!files.WriteFile(entry.FilePath, data) || !files.ReadFile(entry.FilePath, &back) || back != data) {
        throw EBackupError(Quoted(entry.FilePath) + " could not be written. Its copy is kept.");
    }
}

} // namespace cv
