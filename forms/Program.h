// The program's start: the splash when its picture is there, the main
// window, and the quick entry for a file named on the command line.
#pragma once

#include "app/StartOptions.h"
#include "forms/MainForm.h"
#include "forms/SplashForm.h"

namespace cv {

// The quick entry's answer for a file: 3 when it dealt with it and the
// program ends, anything else to go on with the main window.
using TQuickEntry = std::function<int(const std::string& file)>;
inline constexpr int kQuickEntryDone = 3;

struct TProgram {
    std::unique_ptr<TSplashForm> Splash;
    std::unique_ptr<TMainForm> Main; // null when the quick entry ended the program
};

// The start-up up to the message loop: the main window made (on the page
// asked for), a refusal for want of rights answered with the offer to
// start again as administrator, and the quick entry for a file.
TProgram StartProgram(const TPlatform& platform, const TStartOptions& options, const TQuickEntry& quickEntry,
                      TPageFactory uninstallerPage, TPageFactory startupPage);
// Shows the main window and runs the message loop until it closes.
int RunProgram(TProgram& program);

} // namespace cv
