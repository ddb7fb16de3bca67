#include "platform/substitute/SubstituteFileSystem.h"

#include "platform/PathText.h"
#include "platform/TextCase.h"

#include <algorithm>
#include <cctype>

namespace cv {

struct TSubstituteFileSystem::TNode {
    std::string Name;
    std::u16string Key; // the folded name, for look-ups and order
    std::string ShortName;
    bool IsFolder = false;
    std::uint32_t Attributes = 0;
    std::string Contents;
    TNode* Parent = nullptr;
    std::vector<std::shared_ptr<TNode>> Children; // kept in name order

    std::vector<std::shared_ptr<TNode>>::const_iterator Place(const std::u16string& key) const {
        return std::lower_bound(
            Children.begin(), Children.end(), key,
            [](const std::shared_ptr<TNode>& a, const std::u16string& b) { return a->Key < b; });
    }
    std::shared_ptr<TNode> Child(const std::string& name) const {
        const std::u16string key = FoldName(name);
        const auto at = Place(key);
        if (at != Children.end() && (*at)->Key == key) {
            return *at;
        }
        if (name.find('~') != std::string::npos) {
            for (const auto& c : Children) {
                if (SameText(c->ShortName, name)) {
                    return c; // an 8.3 name leads to the same file
                }
            }
        }
        return nullptr;
    }
};

// A path taken apart: its drive and the names below the drive's root.
struct TSubstituteFileSystem::TLocation {
    char Drive = 0;
    std::vector<std::string> Parts;
};

namespace {

bool IsValidName(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

bool MatchMask(std::string_view name, std::string_view mask) {
    if (mask == "*.*" || mask == "*") {
        return true;
    }
    // Iterative wildcard match remembering the last star.
    std::size_t n = 0, m = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || UpperChar(static_cast<unsigned char>(mask[m])) ==
                                                      UpperChar(static_cast<unsigned char>(name[n])))) {
            ++n, ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            star = m++;
            mark = n;
        } else if (star != std::string_view::npos) {
            m = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') {
        ++m;
    }
    return m == mask.size();
}

bool IsShortName(const std::string& name) {
    const auto dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3 || ext.find('.') != std::string::npos) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x80 && c != ' ' && std::string_view("+,;=[]").find(c) == std::string_view::npos;
    });
}

std::string ShortPart(std::string_view text, std::size_t limit) {
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '.') {
            continue;
        }
        out += (u >= 0x80 || std::string_view("+,;=[]").find(c) != std::string_view::npos)
                   ? '_'
                   : static_cast<char>(std::toupper(u));
        if (out.size() == limit) {
            break;
        }
    }
    return out;
}

} // namespace

TSubstituteFileSystem::TSubstituteFileSystem() {
    auto root = std::make_shared<TNode>();
    root->IsFolder = true;
    root->Attributes = kFileAttributeDirectory;
    FDrives['C'] = root;
}

TSubstituteFileSystem::~TSubstituteFileSystem() = default;

bool TSubstituteFileSystem::Locate(const std::string& path, TLocation* where) const {
    std::string full;
    if (path.size() >= 2 && path[1] == ':') {
        full = path;
    } else if (!path.empty() && IsPathDelimiter(path[0])) {
        if (path.size() > 1 && IsPathDelimiter(path[1])) {
            return false; // network paths are not there
        }
        full = FCurrentDirectory.substr(0, 2) + path;
    } else {
        full = IncludeTrailingBackslash(FCurrentDirectory) + path;
    }
    if (full.size() < 2 || !std::isalpha(static_cast<unsigned char>(full[0]))) {
        return false;
    }
    where->Drive = static_cast<char>(std::toupper(static_cast<unsigned char>(full[0])));
    where->Parts.clear();
    std::string part;
    auto flush = [&]() {
        if (part == "..") {
            if (!where->Parts.empty()) {
                where->Parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            where->Parts.push_back(part);
        }
        part.clear();
    };
    for (std::size_t i = 2; i < full.size(); ++i) {
        if (IsPathDelimiter(full[i])) {
            flush();
        } else {
            part += full[i];
        }
    }
    flush();
    return std::all_of(where->Parts.begin(), where->Parts.end(), IsValidName);
}

std::shared_ptr<TSubstituteFileSystem::TNode> TSubstituteFileSystem::Find(const std::string& path) const {
    TLocation where;
    if (path.empty() || !Locate(path, &where)) {
        return nullptr;
    }
    const auto drive = FDrives.find(where.Drive);
    if (drive == FDrives.end()) {
        return nullptr;
    }
    std::shared_ptr<TNode> at = drive->second;
    for (const std::string& part : where.Parts) {
        if (!at->IsFolder || !(at = at->Child(part))) {
            return nullptr;
        }
    }
    return at;
}

std::shared_ptr<TSubstituteFileSystem::TNode>
TSubstituteFileSystem::AddChild(TNode& folder, const std::string& name, bool isFolder) {
    auto node = std::make_shared<TNode>();
    node->Name = name;
    node->Key = FoldName(name);
    node->IsFolder = isFolder;
    node->Attributes = isFolder ? kFileAttributeDirectory : kFileAttributeArchive;
    node->Parent = &folder;
    if (IsShortName(name)) {
        node->ShortName = name;
    } else {
        const std::string ext = ExtractFileExt(name);
        const std::string base = ShortPart(name.substr(0, name.size() - ext.size()), 6);
        std::string shortExt;
        if (!ext.empty()) {
            shortExt = '.';
            shortExt += ShortPart(ext, 3);
        }
        for (int n = 1;; ++n) {
            std::string candidate = base;
            candidate += '~';
            candidate += std::to_string(n);
            candidate += shortExt;
            const bool taken = std::any_of(folder.Children.begin(), folder.Children.end(),
                                           [&](const auto& c) { return SameText(c->ShortName, candidate); });
            if (!taken) {
                node->ShortName = candidate;
                break;
            }
        }
    }
    folder.Children.insert(folder.Place(node->Key), node);
    return node;
}

bool TSubstituteFileSystem::Fails(const std::string& operation, const std::string& path) const {
    return FFault && FFault(operation, path);
}

bool TSubstituteFileSystem::FileExists(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto node = Find(path);
    return node && !node->IsFolder;
}

bool TSubstituteFileSystem::DirectoryExists(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto node = Find(path);
    return node && node->IsFolder;
}

TPathState TSubstituteFileSystem::PathState(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    TLocation where;
    if (path.empty() || !Locate(path, &where)) {
        return TPathState::Unknown; // a share that does not answer, or a name Windows refuses
    }
    const std::string full = UpperText(FullPathName(path));
    for (const std::string& closed : FUnreadable) {
        if (full.compare(0, closed.size(), closed) == 0 &&
            (full.size() == closed.size() || IsPathDelimiter(full[closed.size()]))) {
            return TPathState::Unknown;
        }
    }
    const auto node = Find(path);
    if (!node) {
        return TPathState::Missing;
    }
    return node->IsFolder ? TPathState::Folder : TPathState::File;
}

TVolumeKind TSubstituteFileSystem::VolumeKind(const std::string& volume) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    ++FVolumeQueries;
    if (volume.size() > 2 && IsPathDelimiter(volume[0]) && IsPathDelimiter(volume[1])) {
        return TVolumeKind::Network;
    }
    if (volume.size() != 2 || volume[1] != ':' || !std::isalpha(static_cast<unsigned char>(volume[0]))) {
        return TVolumeKind::Unknown;
    }
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(volume[0])));
    if (const auto kind = FVolumeKinds.find(drive); kind != FVolumeKinds.end()) {
        return kind->second;
    }
    return FDrives.count(drive) != 0 ? TVolumeKind::Local : TVolumeKind::Absent;
}

void TSubstituteFileSystem::SetVolumeKind(const std::string& volume, TVolumeKind kind) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    if (!volume.empty()) {
        FVolumeKinds[static_cast<char>(std::toupper(static_cast<unsigned char>(volume[0])))] = kind;
    }
}

int TSubstituteFileSystem::VolumeQueries() {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FVolumeQueries;
}

void TSubstituteFileSystem::SetUnreadable(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    FUnreadable.push_back(UpperText(ExcludeTrailingBackslash(FullPathName(path))));
}

std::vector<TFoundFile> TSubstituteFileSystem::FindFiles(const std::string& folder, const std::string& mask) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    std::vector<TFoundFile> found;
    const auto node = Find(folder.empty() ? std::string(".") : folder);
    if (!node || !node->IsFolder) {
        return found;
    }
    for (const auto& child : node->Children) {
        if (MatchMask(child->Name, mask)) {
            found.push_back({child->Name, child->Attributes, child->IsFolder ? 0 : child->Contents.size()});
        }
    }
    return found;
}

bool TSubstituteFileSystem::ReadFile(const std::string& path, std::string* contents) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto node = Find(path);
    if (!node || node->IsFolder) {
        return false;
    }
    *contents = node->Contents;
    return true;
}

bool TSubstituteFileSystem::WriteFile(const std::string& path, const std::string& contents) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    if (Fails("WriteFile", path)) {
        return false;
    }
    if (auto node = Find(path)) {
        if (node->IsFolder || (node->Attributes & kFileAttributeReadOnly) != 0) {
            return false;
        }
        node->Contents = contents;
        return true;
    }
    const auto folder = Find(ExtractFilePath(path).empty() ? std::string(".") : ExtractFilePath(path));
    const std::string name = ExtractFileName(path);
    if (!folder || !folder->IsFolder || !IsValidName(name) ||
        (folder->Attributes & kFileAttributeReadOnly) != 0) {
        return false;
    }
    AddChild(*folder, name, false)->Contents = contents;
    return true;
}

bool TSubstituteFileSystem::RemoveFile(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto node = Find(path);
    if (!node || node->IsFolder || (node->Attributes & kFileAttributeReadOnly) != 0 ||
        Fails("RemoveFile", path)) {
        return false;
    }
    auto& siblings = node->Parent->Children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    return true;
}

bool TSubstituteFileSystem::MovePath(const std::string& from, const std::string& to, bool replace) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto source = Find(from);
    const std::string targetFolderPath = ExtractFilePath(to).empty() ? std::string(".") : ExtractFilePath(to);
    const auto targetFolder = Find(targetFolderPath);
    const std::string name = ExtractFileName(to);
    if (!source || source->Parent == nullptr || !targetFolder || !targetFolder->IsFolder ||
        !IsValidName(name) || Fails("MovePath", from)) {
        return false;
    }
    for (TNode* up = targetFolder.get(); up != nullptr; up = up->Parent) {
        if (up == source.get()) {
            return false; // a folder cannot move into itself
        }
    }
    if (const auto existing = targetFolder->Child(name)) {
        if (existing == source) {
            source->Name = name; // a change of letter case only
            return true;
        }
        if (!replace || existing->IsFolder || source->IsFolder ||
            (existing->Attributes & kFileAttributeReadOnly) != 0) {
            return false;
        }
        auto& siblings = targetFolder->Children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), existing));
    }
    auto& siblings = source->Parent->Children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), source));
    const auto moved = AddChild(*targetFolder, name, source->IsFolder);
    moved->Attributes = source->Attributes;
    moved->Contents = std::move(source->Contents);
    moved->Children = std::move(source->Children);
    for (const auto& child : moved->Children) {
        child->Parent = moved.get();
    }
    return true;
}

bool TSubstituteFileSystem::MakeDirectory(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const std::string trimmed = ExcludeTrailingBackslash(path);
    const auto folder = Find(ExtractFilePath(trimmed).empty() ? std::string(".") : ExtractFilePath(trimmed));
    const std::string name = ExtractFileName(trimmed);
    if (!folder || !folder->IsFolder || !IsValidName(name) || folder->Child(name) ||
        Fails("MakeDirectory", path)) {
        return false;
    }
    AddChild(*folder, name, true);
    return true;
}

bool TSubstituteFileSystem::RemoveEmptyDirectory(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto node = Find(path);
    if (!node || !node->IsFolder || node->Parent == nullptr || !node->Children.empty() ||
        Fails("RemoveEmptyDirectory", path)) {
        return false;
    }
    auto& siblings = node->Parent->Children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    return true;
}

std::string TSubstituteFileSystem::CurrentDirectory() {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FCurrentDirectory;
}

bool TSubstituteFileSystem::ChangeDirectory(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto node = Find(path);
    if (!node || !node->IsFolder) {
        return false;
    }
    FCurrentDirectory = FullPathName(path);
    if (FCurrentDirectory.size() == 2) {
        FCurrentDirectory += '\\';
    } else {
        FCurrentDirectory = ExcludeTrailingBackslash(FCurrentDirectory);
        if (FCurrentDirectory.size() == 2) {
            FCurrentDirectory += '\\';
        }
    }
    return true;
}

std::string TSubstituteFileSystem::PathForm(const std::string& path, bool shortForm) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    TLocation where;
    if (!Find(path) || !Locate(path, &where)) {
        return {};
    }
    std::shared_ptr<TNode> at = FDrives[where.Drive];
    std::string out = std::string(1, where.Drive) + ":";
    for (const std::string& part : where.Parts) {
        at = at->Child(part);
        out += "\\" + (shortForm ? at->ShortName : at->Name);
    }
    // Windows keeps a final backslash of the long form's input, and a drive's.
    return where.Parts.empty() || (!shortForm && IsPathDelimiter(path.back())) ? out + "\\" : out;
}

std::string TSubstituteFileSystem::ShortPathName(const std::string& path) {
    return PathForm(path, true);
}

std::string TSubstituteFileSystem::LongPathName(const std::string& path) {
    return PathForm(path, false);
}

bool TSubstituteFileSystem::MoveToRecycleBin(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    std::string contents;
    if (!FileExists(path) || !ReadFile(path, &contents) || !RemoveFile(path)) {
        return false;
    }
    FRecycled.push_back({FullPathName(path), contents});
    return true;
}

std::vector<std::pair<std::string, std::string>> TSubstituteFileSystem::Recycled() {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FRecycled;
}

std::string TSubstituteFileSystem::FullPathName(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    TLocation where;
    if (path.empty() || !Locate(path, &where)) {
        return {};
    }
    std::string out = std::string(1, where.Drive) + ":";
    for (const std::string& part : where.Parts) {
        out += "\\" + part;
    }
    if (where.Parts.empty() || IsPathDelimiter(path.back())) {
        out += "\\";
    }
    return out;
}

void TSubstituteFileSystem::AddFolder(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    TLocation where;
    if (!Locate(path, &where)) {
        return;
    }
    auto& drive = FDrives[where.Drive];
    if (!drive) {
        drive = std::make_shared<TNode>();
        drive->IsFolder = true;
        drive->Attributes = kFileAttributeDirectory;
    }
    std::shared_ptr<TNode> at = drive;
    for (const std::string& part : where.Parts) {
        auto next = at->Child(part);
        at = next ? next : AddChild(*at, part, true);
    }
}

void TSubstituteFileSystem::AddFile(const std::string& path, const std::string& contents,
                                    std::uint32_t attributes) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    AddFolder(ExtractFilePath(FullPathName(path)));
    const auto folder = Find(ExtractFilePath(FullPathName(path)));
    const std::string name = ExtractFileName(path);
    if (!folder || !folder->IsFolder || !IsValidName(name)) {
        return; // no such place to put it
    }
    auto node = folder->Child(name);
    if (!node) {
        node = AddChild(*folder, name, false);
    }
    node->Contents = contents;
    node->Attributes = attributes;
}

std::uint32_t TSubstituteFileSystem::GetAttributes(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto node = Find(path);
    return node ? node->Attributes : std::uint32_t{kNoAttributes};
}

bool TSubstituteFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    const auto node = Find(path);
    if (!node) {
        return false;
    }
    node->Attributes = (attributes & ~kFileAttributeDirectory) |
                       (node->IsFolder ? std::uint32_t{kFileAttributeDirectory} : 0u);
    return true;
}

void TSubstituteFileSystem::SetFault(TFault fault) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    FFault = std::move(fault);
}

} // namespace cv
