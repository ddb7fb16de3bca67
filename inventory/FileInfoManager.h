// Turns file paths into indexes of the shell's system image lists. One
// instance serves the whole run.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace cv {

class TFileInfoManager {
public:
    explicit TFileInfoManager(const TPlatform& platform);

    // The index of the file's large icon in the system image lists; 0, the
    // lists' first image, when the shell cannot describe the file.
    int GetIconIndex(const std::string& path) const;

    std::uintptr_t LargeImages = 0;
    std::uintptr_t SmallImages = 0;

private:
    const TPlatform& FPlatform;
};

} // namespace cv
