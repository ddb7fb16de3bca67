#include "BenchData.h"

#include "inventory/UninstallManager.h"
#include "platform/PathText.h"
#include "platform/Registry.h"

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

std::size_t BareEnumeration(IRegistryApi& api) {
    static const char* const values[] = {"DisplayName",  "DisplayVersion",  "HelpLink",  "UninstallString",
                                         "DisplayIcon",  "InstallLocation", "Publisher", "HelpTelephone",
                                         "URLInfoAbout", "URLUpdateInfo",   "NoModify",  "NoRemove"};
    std::size_t bytes = 0;
    for (HKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
        HKey uninstall = 0;
        if (api.OpenKey(root, kUninstallKey, kKeyRead, &uninstall) != kErrorSuccess) {
            continue;
        }
        std::string name;
        for (std::uint32_t i = 0; api.EnumKey(uninstall, i, &name) == kErrorSuccess; ++i) {
            HKey entry = 0;
            if (api.OpenKey(uninstall, name, kKeyRead, &entry) != kErrorSuccess) {
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
