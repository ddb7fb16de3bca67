// What the program is told on its command line: a file dropped on its icon,
// and, when it starts itself again as administrator, the page to show and
// the run to wait for.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cv {

struct TStartOptions {
    // The first argument that is no switch: the file for the quick entry.
    std::string File;
    // "/page=N": the tab to show first (0 the uninstaller, 1 the startup page).
    int Page = 0;
    // "/after=PID": the run that started this one, which ends before this
    // one reads its settings.
    std::uint32_t WaitForProcess = 0;
};

// The arguments after the program's own name. Switches with a value out of
// range, or no number, are passed over.
TStartOptions ParseStartOptions(const std::vector<std::string>& arguments);
// The switches a run started again on that page, after that process, gets.
std::string RestartParameters(int page, std::uint32_t processId);
// Starts the program again through the elevation prompt with those
// switches; false when it did not start.
bool RestartAsAdministrator(const TPlatform& platform, int page, std::uint32_t processId);

} // namespace cv
