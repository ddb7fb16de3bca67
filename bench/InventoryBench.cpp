// The inventory's main road, measured: Refresh, then FindBadEntries and
// GetIconIndex for every entry, for 100, 1,000 and 10,000 synthetic uninstall
// entries, beside baselines measured in the same run on the same entries:
// (a) the values read by name with the raw registry calls and nothing else,
// (b) one pass per key with the raw calls, (c) on Wine, Wine's own
// "uninstaller --list" as a whole process, and (d) the icon floor: the
// existence checks and one shell icon look-up per application, bare.
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

#include "platform/Errors.h"
#include "platform/Registry.h"

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

// Refresh as it read the entries before the one pass: every value by name.
std::size_t RefreshByName(TPlatform& p) {
    std::vector<std::unique_ptr<TUninstallItem>> items;
    std::vector<std::pair<HKey, TRegView>> roots;
    for (const TRegView view : MachineViews(p.Registry)) {
        roots.emplace_back(kHKeyLocalMachine, view);
    }
    roots.emplace_back(kHKeyCurrentUser, kRegViewNative);
    for (const auto& [root, view] : roots) {
        TRegistry list(p.Registry, kKeyRead);
        list.SetRootKey(root);
        list.SetView(view);
        if (!list.OpenKey(kUninstallKey, false)) {
            continue;
        }
        for (const std::string& name : list.GetKeyNames()) {
            TRegistry reg(p.Registry, kKeyRead);
            reg.SetRootKey(root);
            reg.SetView(view);
            auto item = std::make_unique<TUninstallItem>(p);
            item->KeyPath = std::string(kUninstallKey) + "\\" + name;
            try {
                if (reg.OpenKey(item->KeyPath, false)) {
                    ReadEntryByName(reg, item.get());
                }
                items.push_back(std::move(item));
            } catch (const EClearvaneError&) {
            }
        }
    }
    return items.size();
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
    std::printf("Inventory benchmark on the %s; median of 3 runs, milliseconds, and each figure as a ratio\n"
                "to the baselines of the same run on the same entries: (a) named reads, bare; (b) one pass\n"
                "per key, bare; (c) Wine's uninstaller --list; (d) the icon floor\n\n",
                where);
    std::printf("%8s  %-38s %10s %8s %8s %8s\n", "entries", "what", "ms", "x (a)", "x (b)", "x (c|d)");
    std::vector<std::string> targets;
    for (int count : sizes) {
        TPlatformHolder holder;
        TPlatform& p = holder.Platform();
        const std::string root = holder.Root();
        Seed(p, root, count);
        TFileInfoManager info(p);
        TUninstallManager manager(p, info);
        std::size_t checksum = 0;

        const double named = MedianMs(3, [&] { checksum += BareEnumeration(p.Registry); });
        const double onePass = MedianMs(3, [&] { checksum += OnePassEnumeration(p); });
        double wine = 0;
#ifdef _WIN32
        wine = MedianMs(3, [&] { RunQuietly(p.Shell.SystemDirectory() + "\\uninstaller.exe --list"); });
#endif
        const double byName = MedianMs(3, [&] { checksum += RefreshByName(p); });
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
        const std::vector<TIconJob> jobs = IconJobs(manager);
        const double floor = MedianMs(3, [&] { checksum += IconFloor(p, jobs); });
        const double icons = MedianMs(3, [&] {
            for (const auto& pair : manager.Items) {
                if (pair.second->IsUninstallable()) {
                    checksum += static_cast<std::size_t>(manager.GetIconIndex(*pair.second));
                }
            }
        });
        auto ratio = [](double ms, double base) { return base > 0 ? ms / base : 0.0; };
        auto row = [&](const char* what, double ms, double third) {
            char against[16] = "";
            if (third > 0) {
                std::snprintf(against, sizeof against, "%.2f", ratio(ms, third));
            }
            std::printf("%8d  %-38s %10.1f %8.2f %8.2f %8s\n", count, what, ms, ratio(ms, named),
                        ratio(ms, onePass), against);
        };
        row("(a) named reads, bare", named, 0);
        row("(b) one pass per key, bare", onePass, 0);
#ifdef _WIN32
        row("(c) Wine's uninstaller --list", wine, 0);
#endif
        row("Refresh, reading by name (before)", byName, wine);
        row("Refresh", refresh, wine);
        row("(d) icon floor", floor, 0);
        row("FindBadEntries", bad, floor);
        row("GetIconIndex, every application", icons, floor);
        row("FindBadEntries and the icons", bad + icons, floor);
        std::printf("%8s  (%d applications, %d bad, checksum %zu; peak working set %.1f MB)\n\n", "",
                    manager.AppCount, manager.BadCount, checksum % 1000, PeakWorkingSet() / 1048576.0);
#ifdef _WIN32
        if (count == 10000) {
            const bool met = refresh <= 1.1 * onePass && refresh <= wine;
            char line[160];
            std::snprintf(line, sizeof line,
                          "target Refresh <= 1.1 x (b) and <= (c) at 10000: %s (%.2f x (b), %.2f x (c))",
                          met ? "met" : "missed", ratio(refresh, onePass), ratio(refresh, wine));
            targets.push_back(line);
        }
#endif
        Unseed(p, root, count);
    }
    for (const std::string& line : targets) {
        std::printf("%s\n", line.c_str());
    }
    return 0;
}
