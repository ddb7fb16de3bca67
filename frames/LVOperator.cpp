#include "frames/LVOperator.h"

#include "inventory/FileInfo.h"
#include "platform/Utils.h"

namespace cv {

TLVOperator::TLVOperator(TListView& listView, const TPlatform& platform)
    : FPlatform(platform), FListView(listView) {}

TLVOperator::~TLVOperator() = default;

int TLVOperator::AddItem(const std::string& /*path*/) {
    return -1;
}

void TLVOperator::AddItems(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        AddItem(path);
    }
}

void TLVOperator::AttachPath(int index, const std::string& path) {
    auto copy = std::make_unique<std::string>(path);
    const auto data = reinterpret_cast<std::uintptr_t>(copy.get());
    FPaths.emplace(data, std::move(copy));
    FListView.SetItemData(index, data);
}

std::string TLVOperator::AttachedPath(int index) const {
    const auto found = FPaths.find(FListView.ItemData(index));
    return found != FPaths.end() ? *found->second : std::string();
}

void TLVOperator::DeleteItem(int index) {
    const std::uintptr_t data = FListView.ItemData(index);
    FListView.DeleteItem(index);
    FPaths.erase(data); // only what the operator attached itself
}

void TLVOperator::DeleteSelected() {
    {
        const TListView::TUpdateGuard update(FListView);
        for (int i = FListView.Count() - 1; i >= 0; --i) {
            if (FListView.ItemSelected(i)) {
                DeleteItem(i);
            }
        }
    }
    FListView.Arrange();
}

void TLVOperator::LoadFromFile(const std::string& fileName, const std::string& section) {
    if (!FPlatform.Files.FileExists(fileName)) {
        return;
    }
    TIniFile ini(FPlatform, fileName);
    LoadFromIni(ini, section);
}

void TLVOperator::SaveToFile(const std::string& fileName, const std::string& section) {
    TIniFile ini(FPlatform, fileName);
    SaveToIni(ini, section);
    ini.UpdateFile();
}

TFileLVOperator::TFileLVOperator(TListView& listView, const TPlatform& platform)
    : TLVOperator(listView, platform) {
    AssignSystemImages();
}

TFileLVOperator::~TFileLVOperator() {
    FreeSystemImages();
}

void TFileLVOperator::AssignSystemImages() {
    FSmallImages =
        std::make_unique<TImageList>(reinterpret_cast<HIMAGELIST>(GetSystemImageList(FPlatform, false)));
    FLargeImages =
        std::make_unique<TImageList>(reinterpret_cast<HIMAGELIST>(GetSystemImageList(FPlatform, true)));
    ListView().SetImageLists(FLargeImages.get(), FSmallImages.get());
}

void TFileLVOperator::FreeSystemImages() {
    // The objects only share the shell's list; it stays as it is.
    FSmallImages.reset();
    FLargeImages.reset();
}

int TFileLVOperator::AddItem(const std::string& path) {
    const TShellFileInfo info = TFileInfo(FPlatform, path).GetShellInfo(1);
    if (info.Icon != 0) {
        FPlatform.Shell.DestroyIcon(info.Icon);
    }
    const int index = ListView().AddItem({}, {}, info.IconIndex);
    AttachPath(index, path);
    return index;
}

void TFileLVOperator::SaveToIni(TIniFile& ini, const std::string& section) {
    ini.EraseSection(section);
    for (int i = 0; i < ListView().Count(); ++i) {
        const std::string key = section + std::to_string(i);
        ini.WriteString(section, key, AttachedPath(i));
        ini.WriteString(section, key + "Caption", ListView().ItemText(i));
    }
}

void TFileLVOperator::LoadFromIni(TIniFile& ini, const std::string& section) {
    try {
        const std::vector<std::string> keys = ini.ReadSectionKeys(section);
        for (std::size_t i = 0; i < keys.size(); i += 2) {
            const int index = AddItem(ini.ReadString(section, keys[i], ""));
            if (i + 1 < keys.size()) {
                ListView().SetItemText(index, 0, ini.ReadString(section, keys[i + 1], ""));
            }
        }
    } catch (const std::exception&) {
        // What was loaded stays; the rest is given up quietly.
    }
}

} // namespace cv
