// The inventory's main road, measured: Refresh, then FindBadEntries and
// GetIconIndex for every entry, for 100, 1,000 and 10,000 synthetic uninstall
// entries, beside a bare enumeration that reads the same values with the raw
// registry calls and nothing else (the baseline of every ratio) and, on Wine,
// Wine's own "uninstaller --list" over the same registry.
//
// Host build: the in-memory platform. Windows build: the real registry and
// files (run it in a throw-away Wine prefix; bench/run.sh does).
#include "inventory/FileInfoManager.h"
#include "inventory/UninstallManager.h"
#include "platform/PathText.h"
#include "platform/Registry.h"

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>
#else
#include "platform/substitute/SubstitutePlatform.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace cv;

const char* const kTag = "CvBench ";

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

// A realistic mix: half intact with an icon and several executables, some
// without their icon file, some gone, system-folder uninstallers, and
// entries that are not applications at all.
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

// What the inventory reads, with the raw calls alone.
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

#ifdef _WIN32
// Runs a program with its output thrown away and waits for it.
void RunQuietly(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION info = {};
    std::wstring line = toWide(commandLine);
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(nul);
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

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes{100, 1000, 10000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) {
            sizes.push_back(std::atoi(argv[i]));
        }
    }
#ifdef _WIN32
    const char* where = "real registry and files (Wine)";
#else
    const char* where = "in-memory substitute";
#endif
    std::printf("Inventory benchmark on the %s; median of 3 runs, milliseconds\n\n", where);
    std::printf("%8s  %-34s %12s %10s\n", "entries", "what", "ms", "ratio");
    for (int count : sizes) {
        TPlatformHolder holder;
        TPlatform& p = holder.Platform();
        const std::string root = holder.Root();
        Seed(p, root, count);
        TFileInfoManager info(p);
        TUninstallManager manager(p, info);
        std::size_t checksum = 0;

        const double bare = MedianMs(3, [&] { checksum += BareEnumeration(p.Registry); });
        const double refresh = MedianMs(3, [&] {
            manager.SetCheckFiles(false);
            manager.Refresh();
        });
        const double bad = MedianMs(3,
                                    [&] {
                                        manager.SetCheckFiles(false);
                                        manager.Refresh();
                                        manager.SetCheckFiles(true);
                                        manager.FindBadEntries();
                                    }) -
                           refresh;
        const double icons = MedianMs(3, [&] {
            for (const auto& pair : manager.Items) {
                if (pair.second->IsUninstallable()) {
                    checksum += static_cast<std::size_t>(manager.GetIconIndex(*pair.second));
                }
            }
        });
        auto row = [&](const char* what, double ms) {
            std::printf("%8d  %-34s %12.1f %10.2f\n", count, what, ms, bare > 0 ? ms / bare : 0.0);
        };
        row("bare enumeration (baseline)", bare);
        row("Refresh", refresh);
        row("FindBadEntries", bad);
        row("GetIconIndex, every application", icons);
        row("the whole road", refresh + bad + icons);
#ifdef _WIN32
        const double wine =
            MedianMs(3, [&] { RunQuietly(p.Shell.SystemDirectory() + "\\uninstaller.exe --list"); });
        row("Wine's uninstaller --list", wine);
#endif
        std::printf("%8s  (%d applications, %d bad, checksum %zu)\n\n", "", manager.AppCount,
                    manager.BadCount, checksum % 1000);
        Unseed(p, root, count);
    }
    return 0;
}
