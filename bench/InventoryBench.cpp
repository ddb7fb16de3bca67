// The inventory's main road, measured: Refresh, then FindBadEntries and
// GetIconIndex for every entry, for 100, 1,000 and 10,000 synthetic uninstall
// entries, beside a bare enumeration that reads the same values with the raw
// registry calls and nothing else (the baseline of every ratio) and, on Wine,
// Wine's own "uninstaller --list" over the same registry.
//
// Host build: the in-memory platform. Windows build: the real registry and
// files (run it in a throw-away Wine prefix; bench/run.sh does).
#include "BenchData.h"

#include "inventory/FileInfoManager.h"
#include "inventory/UninstallManager.h"

#ifdef _WIN32
#include "platform/win32/Win32Text.h"

#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace cv;
using namespace cv::bench;

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
