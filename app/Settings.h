// The program's preferences in "qxuninstaller.ini" where the program keeps
// its files (UserFiles.h): the main window's placement and the uninstaller
// list's view. Each load reads the file afresh and each save writes it at
// once.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace cv {

inline constexpr const char* kSettingsFileName = "qxuninstaller.ini";

// The settings file's full path: the program's files' folder and the name.
std::string SettingsPath(const TPlatform& platform);

struct TMainFormPlacement {
    int WindowState = 0; // 0 normal, 1 minimised, 2 maximised
    int WindowLeft = 186;
    int WindowTop = 131;
    int WindowWidth = 699;
    int WindowHeight = 558;
};

TMainFormPlacement LoadMainFormPlacement(const TPlatform& platform);
// Throws ESettingsError "Unable to write to %s" when the file cannot be written.
void SaveMainFormPlacement(const TPlatform& platform, const TMainFormPlacement& placement);

struct TUninstallerView {
    int ViewStyle = 0; // 0 large icons, 1 small icons, 2 list, 3 report
    std::vector<int> ColumnWidths;
};

// Every column not in the file is 100 pixels wide.
TUninstallerView LoadUninstallerView(const TPlatform& platform, std::size_t columnCount);
void SaveUninstallerView(const TPlatform& platform, const TUninstallerView& view);

} // namespace cv
