// Clearvane's entry point.
#include "app/UserFiles.h"
#include "forms/Program.h"
#include "framework/XWBaseThread.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "startup/StartupForm.h"
#include "uninstaller/QuickEntryForm.h"
#include "uninstaller/UninstallerForm.h"

#include <shellapi.h>

namespace {

// How long the end of the program waits for a worker still in a step.
constexpr unsigned kEndWait = 3000;
// How long a run started again waits for the one before to end.
constexpr unsigned kEarlierRunWait = 30000;

// A run started again as administrator reads its settings once the run
// that started it has saved them and ended.
void WaitForEarlierRun(std::uint32_t processId) {
    if (processId == 0) {
        return;
    }
    const cv::TKernelHandle earlier(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (earlier) {
        WaitForSingleObject(earlier.Get(), kEarlierRunWait);
    }
}

int Run() {
    // The platform and the file information live until every worker is
    // joined: a worker that outlived its page's close may still use them.
    const cv::TComScope com; // the shell calls of this thread
    cv::TWin32Platform win32;
    std::vector<std::string> words;
    int count = 0;
    if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count); arguments != nullptr) {
        for (int i = 1; i < count; ++i) {
            words.push_back(cv::toUtf8(arguments[i]));
        }
        LocalFree(arguments);
    }
    const cv::TStartOptions options = cv::ParseStartOptions(words);
    WaitForEarlierRun(options.WaitForProcess);
    // One inventory from the start until the uninstaller page closes.
    const cv::TFileInfoManager fileInfo(win32.Platform);
    auto inventory = std::make_shared<cv::TUninstallManager>(win32.Platform, fileInfo);
    // A file dropped on the program's icon: the quick entry, before any window.
    const cv::TQuickEntry quickEntry = [&win32, inventory](const std::string& file) {
        return cv::ShowQuickEntry(win32.Platform, *inventory, file);
    };
    // Decided before any window reads its settings; files of an older copy move in now.
    inventory->SetNamesFile(cv::PrepareUserFiles(win32.Platform).NamesFile);
    auto uninstallerPage = [&win32, inventory](cv::TMainForm& main) -> std::unique_ptr<cv::TBaseSubForm> {
        return std::make_unique<cv::TUninstallerForm>(main, win32.Platform, inventory);
    };
    auto startupPage = [&win32, &fileInfo](cv::TMainForm& main) -> std::unique_ptr<cv::TBaseSubForm> {
        return std::make_unique<cv::TStartupForm>(main, win32.Platform, fileInfo);
    };
    cv::TProgram program =
        cv::StartProgram(win32.Platform, options, quickEntry, uninstallerPage, startupPage);
    inventory.reset(); // the page holds it from now on
    const int code = cv::RunProgram(program);
    // Workers set aside by a page's close still reach its dispatcher: join
    // them while the pages stand, and again after the pages went.
    for (int round = 0; round < 2; ++round) {
        if (!cv::JoinWorkers(kEndWait)) {
            // A worker is still inside a step: leave without freeing what it
            // uses. Not through ExitProcess: it ends the worker wherever it is,
            // perhaps holding a lock of the heap or the loader, and then has
            // every library take its locks to say goodbye, and waits for
            // ever. The settings and the names are saved already.
            TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
        }
        program.Main.reset();
    }
    return code;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return Run();
    } catch (...) {
        cv::TApplication::Instance().HandleException(std::current_exception());
        return 1;
    }
}
