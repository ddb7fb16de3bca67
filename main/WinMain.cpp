// Clearvane's entry point.
#include "forms/Program.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

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
    auto emptyPage = [](const char* name) {
        return [name](cv::TMainForm& main) { return cv::MakeEmptyPage(main, name); };
    };
    cv::TProgram program = cv::StartProgram(win32.Platform, firstParameter, quickEntry,
                                            emptyPage("UninstallerForm"), emptyPage("StartupForm"));
    return cv::RunProgram(program);
}
