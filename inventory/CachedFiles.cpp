#include "inventory/CachedFiles.h"

#include "platform/TextCase.h"

namespace cv {

namespace {

// Looks the key up, asking the real file system only the first time.
template <class Map, class Ask>
auto Remembered(Map& map, const typename Map::key_type& key, int& asked, Ask ask) {
    const auto found = map.find(key);
    if (found != map.end()) {
        return found->second;
    }
    ++asked;
    return map.emplace(key, ask()).first->second;
}

} // namespace

std::uint32_t TCachedFiles::GetAttributes(const std::string& path) {
    return Remembered(FAttributes, UpperText(path), FAsked, [&] { return FInner.GetAttributes(path); });
}

TPathState TCachedFiles::PathState(const std::string& path) {
    return Remembered(FStates, UpperText(path), FAsked, [&] { return FInner.PathState(path); });
}

TVolumeKind TCachedFiles::VolumeKind(const std::string& volume) {
    return Remembered(FVolumes, UpperText(volume), FAsked, [&] { return FInner.VolumeKind(volume); });
}

std::vector<TFoundFile> TCachedFiles::FindFiles(const std::string& folder, const std::string& mask) {
    return Remembered(FFolders, {UpperText(folder), UpperText(mask)}, FAsked,
                      [&] { return FInner.FindFiles(folder, mask); });
}

void TCachedFiles::Forget() {
    FStates.clear();
    FAttributes.clear();
    FVolumes.clear();
    FFolders.clear();
}

bool TCachedFiles::WriteFile(const std::string& path, const std::string& contents) {
    Forget();
    return FInner.WriteFile(path, contents);
}

bool TCachedFiles::RemoveFile(const std::string& path) {
    Forget();
    return FInner.RemoveFile(path);
}

bool TCachedFiles::MovePath(const std::string& from, const std::string& to, bool replace) {
    Forget();
    return FInner.MovePath(from, to, replace);
}

bool TCachedFiles::MakeDirectory(const std::string& path) {
    Forget();
    return FInner.MakeDirectory(path);
}

bool TCachedFiles::RemoveEmptyDirectory(const std::string& path) {
    Forget();
    return FInner.RemoveEmptyDirectory(path);
}

bool TCachedFiles::ChangeDirectory(const std::string& path) {
    Forget(); // relative paths now mean other things
    return FInner.ChangeDirectory(path);
}

bool TCachedFiles::MoveToRecycleBin(const std::string& path) {
    Forget();
    return FInner.MoveToRecycleBin(path);
}

} // namespace cv
