#include "inventory/IconLookup.h"

#include "inventory/UninstallManager.h"
#include "platform/TextCase.h"

namespace cv {

TIconLookup::TIconLookup(const TUninstallManager& inventory, const TPlatform& platform,
                         const TFileInfoManager& fileInfo)
    : FInventory(inventory), FFileInfo(fileInfo),
      FFiles(platform.Files), FPlatform{platform.Registry,  FFiles,          platform.Shell,
                                        platform.Processes, platform.Locale, platform.ProcessMessages},
      FCheck(FPlatform) {}

TIconLookup::TLook TIconLookup::Look(TUninstallItem& entry) {
    TLook look;
    entry.UsePlatform(FPlatform);
    look.Bad = FCheck.IsGone(entry);
    entry.Bad = look.Bad;
    const std::string file = FInventory.GetApplicationFile(entry, FPlatform);
    if (file == kRubbishMarker) {
        look.Image = FInventory.RubbishIconIndex;
    } else if (file == kInstallMarker) {
        look.Image = FInventory.InstallIconIndex;
    } else {
        const auto [known, added] = FIcons.emplace(UpperText(file), 0);
        if (added) {
            known->second = FFileInfo.GetIconIndex(file);
        }
        look.Image = known->second;
    }
    return look;
}

} // namespace cv
