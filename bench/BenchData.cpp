#include "BenchData.h"

#include "inventory/FileCheck.h"
#include "inventory/UninstallManager.h"
#include "platform/PathText.h"
#include "platform/Registry.h"

#ifdef _WIN32
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace cv::bench {

namespace {

const char* const kTag = "CvBench ";

std::string EntryKey(int i) {
    char number[16];
    std::snprintf(number, sizeof number, "%05d", i);
    return std::string(kUninstallKey) + "\\" + kTag + "App" + number;
}

// A hundred applications to a maker's folder, as under Program Files.
std::string AppFolder(const std::string& root, int i) {
    char name[48];
    std::snprintf(name, sizeof name, "\\Maker%03d\\App%05d", i / 100, i);
    return root + name;
}

HKey EntryRoot(int i) {
    return i % 2 == 0 ? kHKeyLocalMachine : kHKeyCurrentUser;
}

} // namespace

void Seed(TPlatform& p, const std::string& root, int count) {
    p.Files.MakeDirectory(root);
    // Windows has it; the in-memory system folder starts empty.
    const std::string msiexec = p.Shell.SystemDirectory() + "\\msiexec.exe";
    if (!p.Files.FileExists(msiexec)) {
        p.Files.WriteFile(msiexec, "MZ");
    }
    for (int i = 0; i < count; ++i) {
        const std::string folder = AppFolder(root, i);
        const int kind = i % 10;
        if (i % 100 == 0) {
            p.Files.MakeDirectory(ExtractFilePath(folder));
        }
        if (kind != 6) {
            p.Files.MakeDirectory(folder);
            p.Files.WriteFile(folder + "\\uninst.exe", "MZ");
            p.Files.WriteFile(folder + "\\helper.exe", "MZ.");
            if (kind != 5) {
                p.Files.WriteFile(folder + "\\app.exe", "MZ..");
            } else {
                p.Files.WriteFile(folder + "\\main.exe", "MZ...");
            }
        }
        TRegistry reg(p.Registry);
        reg.SetRootKey(EntryRoot(i));
        reg.OpenKey(EntryKey(i), true);
        char name[48];
        std::snprintf(name, sizeof name, "Bench Application %05d", i);
        reg.WriteString("DisplayName", name);
        reg.WriteString("DisplayVersion", "1.0." + std::to_string(i));
        reg.WriteString("Publisher", "Bench Makers");
        if (kind == 7) {
            reg.WriteString("UninstallString",
                            "MsiExec.exe /X{00000000-0000-0000-0000-" + std::to_string(100000 + i) + "}");
        } else if (kind != 9) {
            reg.WriteString("UninstallString", "\"" + folder + "\\uninst.exe\" /S");
        }
        if (kind <= 4 || kind == 8) {
            reg.WriteString("DisplayIcon", folder + "\\app.exe,0");
        } else if (kind == 5 || kind == 6) {
            reg.WriteString("DisplayIcon", folder + "\\gone.ico");
        }
        if (kind != 7) {
            reg.WriteString("InstallLocation", folder);
        }
        if (kind == 8) {
            reg.WriteInteger("NoModify", 1);
        }
        reg.WriteInteger("EstimatedSize", 1000 + i);
    }
}

void Unseed(TPlatform& p, const std::string& root, int count) {
    for (int i = 0; i < count; ++i) {
        TRegistry reg(p.Registry);
        reg.SetRootKey(EntryRoot(i));
        reg.DeleteKey(EntryKey(i));
        const std::string folder = AppFolder(root, i);
        for (const char* file : {"\\uninst.exe", "\\helper.exe", "\\app.exe", "\\main.exe"}) {
            p.Files.RemoveFile(folder + file);
        }
        p.Files.RemoveEmptyDirectory(folder);
        if (i % 100 == 99 || i == count - 1) {
            p.Files.RemoveEmptyDirectory(ExcludeTrailingBackslash(ExtractFilePath(folder)));
        }
    }
    p.Files.RemoveEmptyDirectory(root);
}

namespace {

// The roots and views Refresh reads, in its order.
std::vector<std::pair<HKey, TRegView>> InventoryRoots(const IRegistryApi& api) {
    std::vector<std::pair<HKey, TRegView>> roots;
    for (const TRegView view : MachineViews(api)) {
        roots.emplace_back(kHKeyLocalMachine, view);
    }
    roots.emplace_back(kHKeyCurrentUser, kRegViewNative);
    return roots;
}

} // namespace

std::size_t BareEnumeration(IRegistryApi& api) {
    static const char* const values[] = {"DisplayName",  "DisplayVersion",  "HelpLink",  "UninstallString",
                                         "DisplayIcon",  "InstallLocation", "Publisher", "HelpTelephone",
                                         "URLInfoAbout", "URLUpdateInfo",   "NoModify",  "NoRemove"};
    std::size_t bytes = 0;
    for (const auto& [root, view] : InventoryRoots(api)) {
        HKey uninstall = 0;
        if (api.OpenKey(root, kUninstallKey, kKeyRead | view, &uninstall) != kErrorSuccess) {
            continue;
        }
        std::string name;
        for (std::uint32_t i = 0; api.EnumKey(uninstall, i, &name) == kErrorSuccess; ++i) {
            HKey entry = 0;
            if (api.OpenKey(uninstall, name, kKeyRead | view, &entry) != kErrorSuccess) {
                continue;
            }
            for (const char* value : values) {
                std::uint32_t type = 0;
                std::vector<std::uint8_t> data;
                if (api.QueryValue(entry, value, &type, &data) == kErrorSuccess) {
                    bytes += data.size();
                }
            }
            api.CloseKey(entry);
        }
        api.CloseKey(uninstall);
    }
    return bytes;
}

#ifdef _WIN32
std::size_t OnePassEnumeration(TPlatform& p) {
    const std::wstring uninstallPath = toWide(kUninstallKey);
    std::size_t bytes = 0;
    for (const auto& [root, view] : InventoryRoots(p.Registry)) {
        HKEY uninstall = nullptr;
        if (RegOpenKeyExW(reinterpret_cast<HKEY>(root), uninstallPath.c_str(), 0, KEY_READ | view,
                          &uninstall) != ERROR_SUCCESS) {
            continue;
        }
        wchar_t keyName[256];
        for (DWORD i = 0;; ++i) {
            DWORD keyLength = 256;
            if (RegEnumKeyExW(uninstall, i, keyName, &keyLength, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            HKEY entry = nullptr;
            if (RegOpenKeyExW(uninstall, keyName, 0, KEY_READ | view, &entry) != ERROR_SUCCESS) {
                continue;
            }
            DWORD longestName = 0;
            DWORD longestData = 0;
            if (RegQueryInfoKeyW(entry, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 &longestName, &longestData, nullptr, nullptr) == ERROR_SUCCESS) {
                std::wstring name(longestName + 1, L'\0');
                std::vector<BYTE> data(longestData + 2);
                for (DWORD k = 0;; ++k) {
                    DWORD nameLength = longestName + 1;
                    DWORD type = 0;
                    DWORD size = longestData + 2;
                    if (RegEnumValueW(entry, k, name.data(), &nameLength, nullptr, &type, data.data(),
                                      &size) != ERROR_SUCCESS) {
                        break;
                    }
                    bytes += size;
                }
            }
            RegCloseKey(entry);
        }
        RegCloseKey(uninstall);
    }
    return bytes;
}
#else
std::size_t OnePassEnumeration(TPlatform& p) {
    IRegistryApi& api = p.Registry;
    std::size_t bytes = 0;
    for (const auto& [root, view] : InventoryRoots(api)) {
        HKey uninstall = 0;
        if (api.OpenKey(root, kUninstallKey, kKeyRead | view, &uninstall) != kErrorSuccess) {
            continue;
        }
        std::string name;
        std::string valueName;
        std::vector<std::uint8_t> data;
        for (std::uint32_t i = 0; api.EnumKey(uninstall, i, &name) == kErrorSuccess; ++i) {
            HKey entry = 0;
            if (api.OpenKey(uninstall, name, kKeyRead | view, &entry) != kErrorSuccess) {
                continue;
            }
            std::uint32_t type = 0;
            for (std::uint32_t k = 0; api.EnumValueData(entry, k, &valueName, &type, &data) == kErrorSuccess;
                 ++k) {
                bytes += data.size();
            }
            api.CloseKey(entry);
        }
        api.CloseKey(uninstall);
    }
    return bytes;
}
#endif

std::vector<TIconJob> IconJobs(const TUninstallManager& manager) {
    std::vector<TIconJob> jobs;
    for (const auto& pair : manager.Items) {
        const TUninstallItem& item = *pair.second;
        if (!item.IsUninstallable()) {
            continue;
        }
        TIconJob job;
        for (const std::string& path :
             {item.GetExecutable(), IconFilePath(item.DisplayIcon), CleanPath(item.InstallLocation)}) {
            if (!path.empty()) {
                job.Paths.push_back(path);
            }
        }
        const std::string file = manager.GetApplicationFile(item);
        if (file != kInstallMarker && file != kRubbishMarker) {
            job.IconFile = file;
        }
#ifdef _WIN32
        for (const std::string& path : job.Paths) {
            job.WidePaths.push_back(toWide(path));
        }
        job.WideIconFile = toWide(job.IconFile);
#endif
        jobs.push_back(std::move(job));
    }
    return jobs;
}

#ifdef _WIN32
std::size_t IconFloor(TPlatform&, const std::vector<TIconJob>& jobs) {
    std::size_t sum = 0;
    for (const TIconJob& job : jobs) {
        for (const std::wstring& path : job.WidePaths) {
            sum += GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
        }
        if (!job.WideIconFile.empty()) {
            SHFILEINFOW info = {};
            SHGetFileInfoW(job.WideIconFile.c_str(), 0, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_LARGEICON);
            sum += static_cast<std::size_t>(info.iIcon);
        }
    }
    return sum;
}

std::size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize
                                                                                 : 0;
}
#else
std::size_t IconFloor(TPlatform& p, const std::vector<TIconJob>& jobs) {
    std::size_t sum = 0;
    for (const TIconJob& job : jobs) {
        for (const std::string& path : job.Paths) {
            sum += p.Files.FileExists(path) || p.Files.DirectoryExists(path) ? 1 : 0;
        }
        if (!job.IconFile.empty()) {
            TShellFileInfo info;
            p.Shell.ShellFileInfo(job.IconFile, kShgfiSysIconIndex | kShgfiLargeIcon, &info);
            sum += static_cast<std::size_t>(info.IconIndex);
        }
    }
    return sum;
}

std::size_t PeakWorkingSet() {
    // The resident set's high-water mark (VmHWM), in kB.
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return 0;
    }
    char line[256];
    std::size_t kb = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmHWM: %zu kB", &kb) == 1) {
            break;
        }
    }
    std::fclose(status);
    return kb * 1024;
}
#endif

double MedianMs(int repeats, const std::function<void()>& run) {
    std::vector<double> times;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace cv::bench
