#include "inventory/FileInfoManager.h"

namespace cv {

TFileInfoManager::TFileInfoManager(const TPlatform& platform) : FPlatform(platform) {
    const TSystemImageLists lists = platform.Shell.GetSystemImageLists();
    LargeImages = lists.Large;
    SmallImages = lists.Small;
}

int TFileInfoManager::GetIconIndex(const std::string& path) const {
    // Only the index is needed, so the shell is not asked to make an icon.
    TShellFileInfo info;
    FPlatform.Shell.ShellFileInfo(path, kShgfiSysIconIndex | kShgfiLargeIcon, &info);
    FPlatform.Shell.DestroyIcon(info.Icon);
    return info.IconIndex;
}

} // namespace cv
