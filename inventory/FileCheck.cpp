#include "inventory/FileCheck.h"

#include "platform/PathText.h"
#include "platform/TextCase.h"
#include "platform/Utils.h"

#include <cctype>

namespace cv {

namespace {

bool IsIconIndex(std::string text) {
    text = CleanPath(text);
    if (!text.empty() && text[0] == '-') {
        text.erase(0, 1);
    }
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

bool IsDrivePath(const std::string& path, std::size_t at) {
    return path.size() >= at + 2 && std::isalpha(static_cast<unsigned char>(path[at])) && path[at + 1] == ':';
}

// Where a state found for one path leaves the entry's state so far.
void Merge(TFilesState found, bool* present, bool* unknown, bool* gone) {
    *present = *present || found == TFilesState::Present;
    *unknown = *unknown || found == TFilesState::Unknown;
    *gone = *gone || found == TFilesState::Gone;
}

} // namespace

std::string IconFilePath(const std::string& displayIcon) {
    const std::size_t comma = displayIcon.rfind(',');
    if (comma != std::string::npos && IsIconIndex(displayIcon.substr(comma + 1))) {
        return CleanPath(displayIcon.substr(0, comma));
    }
    return CleanPath(displayIcon);
}

std::string CleanPath(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != '"') {
            out += c;
        }
    }
    const std::size_t first = out.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return out.substr(first, out.find_last_not_of(" \t") - first + 1);
}

std::string VolumeOf(const std::string& path) {
    const auto delimiter = [&](std::size_t at) { return at < path.size() && IsPathDelimiter(path[at]); };
    if (IsDrivePath(path, 0)) {
        return UpperText(path.substr(0, 2));
    }
    if (!delimiter(0) || !delimiter(1)) {
        return {}; // relative, or from the current drive's root: no volume of its own
    }
    std::size_t start = 2;
    if (path.size() >= 4 && (path[2] == '?' || path[2] == '.') && delimiter(3)) {
        if (IsDrivePath(path, 4)) {
            return UpperText(path.substr(4, 2));
        }
        if (path.size() < 8 || !SameText(path.substr(4, 3), "UNC") || !delimiter(7)) {
            return {}; // a device, not a place for files
        }
        start = 8;
    }
    // \\server\share: the server's name and the share's.
    std::size_t end = path.find_first_of("\\/", start);
    if (end == start || end == std::string::npos) {
        return {};
    }
    end = path.find_first_of("\\/", end + 1);
    const std::string share = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (share.back() == '\\' || share.back() == '/') {
        return {};
    }
    return "\\\\" + UpperText(share);
}

bool TFileCheck::OnLocalDisk(const std::string& path) {
    const std::string volume = VolumeOf(path);
    if (volume.empty()) {
        return false;
    }
    const auto known = FLocal.find(volume);
    if (known != FLocal.end()) {
        return known->second;
    }
    const bool local = FPlatform.Files.VolumeKind(volume) == TVolumeKind::Local;
    FLocal.emplace(volume, local);
    return local;
}

TFilesState TFileCheck::PathState(const std::string& path) {
    const std::string expanded = CleanPath(FPlatform.Shell.ExpandEnvironment(CleanPath(path)));
    if (!OnLocalDisk(expanded)) {
        return TFilesState::Unknown;
    }
    switch (FPlatform.Files.PathState(expanded)) {
    case TPathState::File:
    case TPathState::Folder:
        return TFilesState::Present;
    case TPathState::Missing:
        return TFilesState::Gone;
    default:
        return TFilesState::Unknown;
    }
}

TFilesState TFileCheck::ProgramState(const std::string& commandLine) {
    const std::string line = FPlatform.Shell.ExpandEnvironment(commandLine);
    const std::vector<std::string> candidates = ProgramCandidates(line);
    if (candidates.empty() || !OnLocalDisk(candidates.front())) {
        // Only a path on a local disk is looked at: a bare name is searched
        // for along paths that may lead anywhere.
        return !candidates.empty() && VolumeOf(candidates.front()).empty() &&
                       !ExtractExecutable(FPlatform, line).empty()
                   ? TFilesState::Present
                   : TFilesState::Unknown;
    }
    // Each reading of an unquoted line could be the program; a folder is
    // not one. Every cut shares the first one's volume.
    for (const std::string& candidate : candidates) {
        switch (FPlatform.Files.PathState(candidate)) {
        case TPathState::File:
            return TFilesState::Present;
        case TPathState::Unknown:
            return TFilesState::Unknown;
        default:
            break;
        }
    }
    // A program the system would still find (a missing ".exe", say) is there.
    return ExtractExecutable(FPlatform, line).empty() ? TFilesState::Gone : TFilesState::Present;
}

TFilesState TFileCheck::EntryState(const TUninstallItem& item) {
    bool present = false;
    bool unknown = false;
    bool gone = false;
    Merge(ProgramState(item.UninstallString), &present, &unknown, &gone);
    for (const std::string& path : {IconFilePath(item.DisplayIcon), CleanPath(item.InstallLocation)}) {
        if (!present && !path.empty()) {
            Merge(PathState(path), &present, &unknown, &gone);
        }
    }
    if (present) {
        return TFilesState::Present;
    }
    return unknown || !gone ? TFilesState::Unknown : TFilesState::Gone;
}

} // namespace cv
