// What the benchmarks share: synthetic uninstall entries with their files
// on the platform under test, the bare enumeration every ratio is measured
// against, and the median of a few runs.
#pragma once

#include "inventory/UninstallManager.h"
#include "platform/Platform.h"

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#else
#include "platform/substitute/SubstitutePlatform.h"
#endif

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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
// The baselines, each over the keys Refresh reads (the machine's views,
// then the user's). Named reads: the values the inventory uses, each asked
// for by name with the raw calls alone, as the inventory once read them.
std::size_t BareEnumeration(IRegistryApi& api);
// One pass per key: every value of every entry enumerated once with its
// data (on Windows RegQueryInfoKey and RegEnumValue, nothing else): the
// least any reading of the entries can cost.
std::size_t OnePassEnumeration(TPlatform& p);

// What the icon cycle cannot do without, per application: the existence
// checks of its paths and one look-up of its icon file's system icon.
struct TIconJob {
    std::vector<std::string> Paths;
    std::string IconFile; // empty when the entry shows one of the program's own icons
#ifdef _WIN32
    std::vector<std::wstring> WidePaths; // the same as the calls take them
    std::wstring WideIconFile;
#endif
};
// The jobs of the manager's applications; it must have been refreshed with
// its file checks on.
std::vector<TIconJob> IconJobs(const TUninstallManager& manager);
// The jobs in a bare loop: the file system's and the shell's raw calls.
std::size_t IconFloor(TPlatform& p, const std::vector<TIconJob>& jobs);

// The process's peak working set in bytes; 0 where it cannot be told.
std::size_t PeakWorkingSet();

double MedianMs(int repeats, const std::function<void()>& run);

} // namespace cv::bench
