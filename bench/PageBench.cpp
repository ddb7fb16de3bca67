// The uninstaller page measured under Wine: from the page's first show to
// the list on the screen, and on to the end of the icon cycle (bad entries
// found, every icon set, totals shown), for synthetic entries on the real
// registry and files, beside baselines measured in the same run on the same
// entries: (a) the values read by name, bare; (b) one pass per key, bare;
// (d) the icon floor. During the cycle a probe posts a message to the page
// every 50 ms and records how long each waits to be handled.
//
// The peak working set is measured in a process of its own that shows the
// main window with both pages once and ends, so the baselines' data does
// not count: once before any entries are made (the floor on this system)
// and once at each size.
#include "BenchData.h"

#include "app/Settings.h"
#include "forms/MainForm.h"
#include "framework/XWBaseThread.h"
#include "platform/win32/Win32Text.h"
#include "startup/StartupForm.h"
#include "uninstaller/UninstallerForm.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace cv;
using namespace cv::bench;

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

struct TPageTimes {
    double ListShown = 0;
    double CycleEnded = 0;
    double LongestWait = 0; // of the probe's messages
    int Probes = 0;
    int Items = 0;
    std::string Status;
};

// Posts a message to a window every 50 ms from a thread of its own; the
// window, subclassed meanwhile, notes how long each waited.
class TProbe {
public:
    explicit TProbe(HWND target) : FTarget(target) {
        Current = this;
        FOldProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TProbe::Proc)));
        FThread = std::thread([this] {
            while (!FStop) {
                const auto sent = TClock::now().time_since_epoch().count();
                PostMessageW(FTarget, Message(), 0, static_cast<LPARAM>(sent));
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }
    ~TProbe() {
        FStop = true;
        FThread.join();
        MSG left;
        while (PeekMessageW(&left, FTarget, Message(), Message(), PM_REMOVE)) {
        }
        SetWindowLongPtrW(FTarget, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
        Current = nullptr;
    }
    TProbe(const TProbe&) = delete;
    TProbe& operator=(const TProbe&) = delete;

    double LongestWait = 0;
    int Answered = 0;

private:
    static UINT Message() {
        static const UINT message = RegisterWindowMessageW(L"ClearvaneBenchProbe");
        return message;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        TProbe* probe = Current;
        if (message == Message() && probe != nullptr) {
            const TClock::time_point sent{TClock::duration(static_cast<TClock::rep>(lParam))};
            probe->LongestWait = std::max(
                probe->LongestWait, std::chrono::duration<double, std::milli>(TClock::now() - sent).count());
            ++probe->Answered;
            return 0;
        }
        return CallWindowProcW(probe->FOldProc, window, message, wParam, lParam);
    }

    static inline TProbe* Current = nullptr;
    HWND FTarget;
    WNDPROC FOldProc = nullptr;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

// The startup page is left empty for the timings, which are the uninstaller
// page's alone; the memory measure shows the real one.
TPageTimes TimePage(TPlatform& p, const TFileInfoManager& info, bool realStartupPage = false) {
    TPageTimes times;
    TUninstallerForm* page = nullptr;
    {
        TMainForm main(
            p,
            [&](TMainForm& owner) -> std::unique_ptr<TBaseSubForm> {
                auto made = std::make_unique<TUninstallerForm>(owner, p,
                                                               std::make_shared<TUninstallManager>(p, info));
                page = made.get();
                return made;
            },
            [&](TMainForm& owner) -> std::unique_ptr<TBaseSubForm> {
                if (realStartupPage) {
                    return std::make_unique<TStartupForm>(owner, p, info);
                }
                return MakeEmptyPage(owner, "StartupForm");
            });
        TForm::MainForm = &main;
        const auto start = TClock::now();
        main.Show(); // the page's first show builds the list and paints it
        UpdateWindow(main.Handle());
        times.ListShown = Since(start);
        {
            TProbe probe(page->Handle());
            while (!page->CanRebuild()) {
                TApplication::Instance().ProcessMessages();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
            times.CycleEnded = Since(start);
            TApplication::Instance().ProcessMessages(); // the probes posted meanwhile
            times.LongestWait = probe.LongestWait;
            times.Probes = probe.Answered;
        }
        times.Items = page->UninstListView.ListView.Count();
        times.Status = main.StatusBar.PanelText(1);
        main.ExitAction.Execute();
        TForm::MainForm = nullptr;
    }
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return times;
}

constexpr const char* kAloneFlag = "--page-alone";

// Shows the page once in a process of its own (this program run with
// kAloneFlag), as on a first run: no record of names, so no hint about new
// entries. Its peak working set in bytes; 0 when it could not be measured
// (it did not start, did not end within five minutes, or ended with an error).
std::size_t PagePeakAlone(TPlatform& p) {
    const std::string names = p.Files.CurrentDirectory() + "\\" + kNamesFile;
    p.Files.RemoveFile(names);
    struct TRemove {
        TPlatform& P;
        const std::string& Names;
        ~TRemove() { P.Files.RemoveFile(Names); }
    } remove{p, names};
    wchar_t self[MAX_PATH];
    if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) {
        return 0;
    }
    std::wstring line = L"\"" + std::wstring(self) + L"\" " + toWide(kAloneFlag);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 0;
    }
    CloseHandle(process.hThread);
    DWORD kb = 0;
    bool ended = WaitForSingleObject(process.hProcess, 5 * 60 * 1000) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
    }
    ended = ended && GetExitCodeProcess(process.hProcess, &kb) != 0;
    CloseHandle(process.hProcess);
    // An abort or an exit with an error gives a small number, a crash a
    // status code (0xC...); no Windows process shows in less than a megabyte.
    return ended && kb >= 1024 && kb < 0x80000000u ? static_cast<std::size_t>(kb) * 1024 : 0;
}

// The other side: the page shown once; the exit code is the peak in kB.
int ShowPageAlone() {
    TPlatformHolder holder;
    TPlatform& p = holder.Platform();
    const TFileInfoManager info(p);
    TimePage(p, info, true);
    // As the program ends: the pages' workers are joined before it returns.
    if (!JoinWorkers(10000)) {
        return 1;
    }
    return static_cast<int>(PeakWorkingSet() / 1024);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == kAloneFlag) {
        return ShowPageAlone();
    }
    std::vector<int> sizes{1000, 10000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) {
            sizes.push_back(std::atoi(argv[i]));
        }
    }
    std::printf("Uninstaller page benchmark on the real registry and files (Wine); median of 3 runs,\n"
                "milliseconds, and each figure as a ratio to the baselines of the same run on the same\n"
                "entries: (a) named reads, bare; (b) one pass per key, bare; (d) the icon floor\n\n");
    std::printf("%8s  %-40s %10s %8s %8s %8s\n", "entries", "what", "ms", "x (a)", "x (b)", "x (d)");
    TPlatformHolder holder;
    TPlatform& p = holder.Platform();
    const double floorPeak = PagePeakAlone(p) / 1048576.0;
    if (floorPeak > 0) {
        std::printf("%8d  %-40s %10.1f MB\n\n", 0, "page alone: peak working set", floorPeak);
    } else {
        std::printf("%8d  %-40s %10s\n\n", 0, "page alone: peak working set", "not measured");
    }
    const std::string root = holder.Root();
    const std::string folder = p.Files.CurrentDirectory();
    std::vector<std::string> targets;
    double longestWait = 0;
    int probedSizes = 0;
    for (int count : sizes) {
        Seed(p, root, count);
        const TFileInfoManager info(p);
        const double named = MedianMs(3, [&] { BareEnumeration(p.Registry); });
        const double onePass = MedianMs(3, [&] { OnePassEnumeration(p); });
        std::vector<TIconJob> jobs;
        {
            TUninstallManager manager(p, info);
            manager.SetCheckFiles(true);
            manager.Refresh();
            jobs = IconJobs(manager);
        }
        const double floor = MedianMs(3, [&] { IconFloor(p, jobs); });
        std::vector<TPageTimes> runs;
        for (int r = 0; r < 3; ++r) {
            runs.push_back(TimePage(p, info));
        }
        auto median = [&](auto field) {
            std::vector<double> values;
            for (const TPageTimes& run : runs) {
                values.push_back(field(run));
            }
            std::sort(values.begin(), values.end());
            return values[1];
        };
        auto ratio = [](double ms, double base) { return base > 0 ? ms / base : 0.0; };
        auto row = [&](const char* what, double ms, bool againstFloor) {
            char against[16] = "";
            if (againstFloor) {
                std::snprintf(against, sizeof against, "%.2f", ratio(ms, floor));
            }
            std::printf("%8d  %-40s %10.1f %8.2f %8.2f %8s\n", count, what, ms, ratio(ms, named),
                        ratio(ms, onePass), against);
        };
        const double shown = median([](const TPageTimes& t) { return t.ListShown; });
        const double cycle = median([](const TPageTimes& t) { return t.CycleEnded - t.ListShown; });
        const double wait = median([](const TPageTimes& t) { return t.LongestWait; });
        row("(a) named reads, bare", named, false);
        row("(b) one pass per key, bare", onePass, false);
        row("(d) icon floor", floor, true);
        row("first show to the list shown", shown, false);
        row("list shown to the end of the icon cycle", cycle, true);
        row("first show to the end of the icon cycle",
            median([](const TPageTimes& t) { return t.CycleEnded; }), false);
        const double peak = PagePeakAlone(p) / 1048576.0;
        std::printf("%8d  %-40s %10.1f ms (%d probes)\n", count, "longest wait of a probe in the cycle", wait,
                    runs[1].Probes);
        if (peak > 0 && floorPeak > 0) {
            std::printf("%8d  %-40s %10.1f MB (%.1f MB above the floor)\n", count,
                        "page alone: peak working set", peak, peak - floorPeak);
        } else {
            std::printf("%8d  %-40s %10s\n", count, "page alone: peak working set", "not measured");
        }
        std::printf("%8s  (%d items listed; status \"%s\")\n\n", "", runs[0].Items, runs[0].Status.c_str());
        if (count == 1000 || count == 10000) {
            longestWait = std::max(longestWait, wait);
            ++probedSizes;
        }
        if (count == 10000) {
            char line[200];
            std::snprintf(line, sizeof line,
                          "target first show to the list shown <= 1.3 x (b) at 10000: %s (%.2f x (b))",
                          shown <= 1.3 * onePass ? "met" : "missed", ratio(shown, onePass));
            targets.push_back(line);
            std::snprintf(
                line, sizeof line,
                "target list shown to the end of the icon cycle <= 1.3 x (d) at 10000: %s (%.2f x (d))",
                cycle <= 1.3 * floor ? "met" : "missed", ratio(cycle, floor));
            targets.push_back(line);
            // A page that could not be run alone shows 0 MB: not a target met.
            std::snprintf(line, sizeof line, "target peak working set <= 40 MB at 10000: %s (%.1f MB)",
                          peak > 0 && peak <= 40 ? "met" : "missed", peak);
            targets.push_back(line);
        }
        p.Files.RemoveFile(folder + "\\" + kNamesFile);
        Unseed(p, root, count);
    }
    if (probedSizes == 2) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "target longest probe wait <= 100 ms at 1000 and at 10000: %s (%.1f ms at worst)",
                      longestWait <= 100 ? "met" : "missed", longestWait);
        targets.push_back(line);
    }
    for (const std::string& line : targets) {
        std::printf("%s\n", line.c_str());
    }
    p.Files.RemoveFile(SettingsPath(p));
    return 0;
}
