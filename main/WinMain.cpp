// Clearvane's entry point.
#include "forms/Program.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "uninstaller/UninstallerForm.h"

#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    cv::TWin32Platform win32;
    std::string firstParameter;
    int count = 0;
    if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count); arguments != nullptr) {
        if (count > 1) {
            firstParameter = cv::toUtf8(arguments[1]);
        }
        LocalFree(arguments);
    }
    // The quick entry for a file on the command line is not built yet: such
    // a start opens the main window as any other.
    const cv::TQuickEntry quickEntry = [](const std::string&) { return 1; };
    // One inventory from the start until the uninstaller page closes.
    const cv::TFileInfoManager fileInfo(win32.Platform);
    auto inventory = std::make_shared<cv::TUninstallManager>(win32.Platform, fileInfo);
    auto uninstallerPage = [&win32, inventory](cv::TMainForm& main) -> std::unique_ptr<cv::TBaseSubForm> {
        return std::make_unique<cv::TUninstallerForm>(main, win32.Platform, inventory);
    };
    // The startup page is not built yet: its tab holds an empty page.
    auto startupPage = [](cv::TMainForm& main) { return cv::MakeEmptyPage(main, "StartupForm"); };
    cv::TProgram program =
        cv::StartProgram(win32.Platform, firstParameter, quickEntry, uninstallerPage, startupPage);
    inventory.reset(); // the page holds it from now on
    return cv::RunProgram(program);
}
