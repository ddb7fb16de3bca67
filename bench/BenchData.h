// What the benchmarks share: synthetic uninstall entries with their files
// on the platform under test, the bare enumeration every ratio is measured
// against, and the median of a few runs.
#pragma once

#include "platform/Platform.h"

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#else
#include "platform/substitute/SubstitutePlatform.h"
#endif

#include <cstddef>
#include <functional>
#include <string>

namespace cv::bench {

struct TPlatformHolder {
#ifdef _WIN32
    TWin32Platform Real;
    TPlatform& Platform() {
        return Real.Platform;
    }
    std::string Root() {
        return Real.Shell.WindowsDirectory().substr(0, 2) + "\\CvBench";
    }
#else
    TSubstitutePlatform Sub;
    TPlatform& Platform() {
        return Sub.Platform;
    }
    std::string Root() {
        return "C:\\CvBench";
    }
#endif
};

// A realistic mix: half intact with an icon and several executables, some
// without their icon file, some gone, system-folder uninstallers, and
// entries that are not applications at all; both roots.
void Seed(TPlatform& p, const std::string& root, int count);
void Unseed(TPlatform& p, const std::string& root, int count);
// What the inventory reads, with the raw calls alone.
std::size_t BareEnumeration(IRegistryApi& api);
double MedianMs(int repeats, const std::function<void()>& run);

} // namespace cv::bench
