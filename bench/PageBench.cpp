// The uninstaller page measured under Wine: from the page's first show to
// the list on the screen, and to the end of the icon cycle (bad entries
// found, every icon set, totals shown), for synthetic entries on the real
// registry and files, beside the bare enumeration of the same entries
// measured in the same run (the baseline of every ratio).
#include "BenchData.h"

#include "app/Settings.h"
#include "forms/MainForm.h"
#include "uninstaller/UninstallerForm.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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
    int Items = 0;
    std::string Status;
};

TPageTimes TimePage(TPlatform& p, const TFileInfoManager& info) {
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
            [](TMainForm& owner) { return MakeEmptyPage(owner, "StartupForm"); });
        TForm::MainForm = &main;
        const auto start = TClock::now();
        main.Show(); // the page's first show builds the list and paints it
        UpdateWindow(main.Handle());
        times.ListShown = Since(start);
        while (!page->CanRebuild()) {
            TApplication::Instance().ProcessMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        times.CycleEnded = Since(start);
        times.Items = page->UninstListView.ListView.Count();
        times.Status = main.StatusBar.PanelText(1);
        main.ExitAction.Execute();
        TForm::MainForm = nullptr;
    }
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return times;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes{1000, 10000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) {
            sizes.push_back(std::atoi(argv[i]));
        }
    }
    std::printf("Uninstaller page benchmark on the real registry and files (Wine); median of 3 runs, "
                "milliseconds\n\n");
    std::printf("%8s  %-40s %10s %8s\n", "entries", "what", "ms", "ratio");
    TPlatformHolder holder;
    TPlatform& p = holder.Platform();
    const std::string root = holder.Root();
    const std::string folder = p.Files.CurrentDirectory();
    for (int count : sizes) {
        Seed(p, root, count);
        const TFileInfoManager info(p);
        const double bare = MedianMs(3, [&] { BareEnumeration(p.Registry); });
        std::vector<TPageTimes> runs;
        for (int r = 0; r < 3; ++r) {
            runs.push_back(TimePage(p, info));
        }
        auto median = [&](double TPageTimes::*field) {
            std::vector<double> values;
            for (const TPageTimes& run : runs) {
                values.push_back(run.*field);
            }
            std::sort(values.begin(), values.end());
            return values[1];
        };
        auto row = [&](const char* what, double ms) {
            std::printf("%8d  %-40s %10.1f %8.2f\n", count, what, ms, bare > 0 ? ms / bare : 0.0);
        };
        row("bare enumeration (baseline)", bare);
        row("first show to the list shown", median(&TPageTimes::ListShown));
        row("first show to the end of the icon cycle", median(&TPageTimes::CycleEnded));
        std::printf("%8s  (%d items listed; status \"%s\")\n\n", "", runs[0].Items, runs[0].Status.c_str());
        p.Files.RemoveFile(folder + "\\" + kNamesFile);
        Unseed(p, root, count);
    }
    p.Files.RemoveFile(SettingsPath(p));
    return 0;
}
