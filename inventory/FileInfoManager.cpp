#include "inventory/FileInfoManager.h"

#include "inventory/FileInfo.h"

namespace cv {

TFileInfoManager::TFileInfoManager(const TPlatform& platform) : FPlatform(platform) {
    const TSystemImageLists lists = platform.Shell.GetSystemImageLists();
    LargeImages = lists.Large;
    SmallImages = lists.Small;
}

int TFileInfoManager::GetIconIndex(const std::string& path) const {
    const TShellFileInfo info = TFileInfo(FPlatform, path).GetShellInfo(1);
    FPlatform.Shell.DestroyIcon(info.Icon);
    return info.IconIndex;
}

} // namespace cv
