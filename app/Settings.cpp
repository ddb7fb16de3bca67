#include "app/Settings.h"

#include "app/IniFile.h"
#include "app/UserFiles.h"

namespace cv {

namespace {

const char* const kMainForm = "Main Form";
const char* const kUninstaller = "Clearvane";

} // namespace

std::string SettingsPath(const TPlatform& platform) {
    return UserFilesFolder(platform) + kSettingsFileName;
}

TMainFormPlacement LoadMainFormPlacement(const TPlatform& platform) {
    const TIniFile ini(platform, SettingsPath(platform));
    TMainFormPlacement p;
    p.WindowState = ini.ReadInteger(kMainForm, "WindowState", p.WindowState);
    p.WindowLeft = ini.ReadInteger(kMainForm, "WindowLeft", p.WindowLeft);
    p.WindowTop = ini.ReadInteger(kMainForm, "WindowTop", p.WindowTop);
    p.WindowWidth = ini.ReadInteger(kMainForm, "WindowWidth", p.WindowWidth);
    p.WindowHeight = ini.ReadInteger(kMainForm, "WindowHeight", p.WindowHeight);
    return p;
}

void SaveMainFormPlacement(const TPlatform& platform, const TMainFormPlacement& p) {
    TIniFile ini(platform, SettingsPath(platform));
    ini.WriteInteger(kMainForm, "WindowState", p.WindowState);
    ini.WriteInteger(kMainForm, "WindowLeft", p.WindowLeft);
    ini.WriteInteger(kMainForm, "WindowTop", p.WindowTop);
    ini.WriteInteger(kMainForm, "WindowWidth", p.WindowWidth);
    ini.WriteInteger(kMainForm, "WindowHeight", p.WindowHeight);
    ini.UpdateFile();
}

TUninstallerView LoadUninstallerView(const TPlatform& platform, std::size_t columnCount) {
    const TIniFile ini(platform, SettingsPath(platform));
    TUninstallerView view;
    view.ViewStyle = ini.ReadInteger(kUninstaller, "ViewStyle", 0);
    for (std::size_t i = 0; i < columnCount; ++i) {
        view.ColumnWidths.push_back(ini.ReadInteger(kUninstaller, "Column" + std::to_string(i), 100));
    }
    return view;
}

void SaveUninstallerView(const TPlatform& platform, const TUninstallerView& view) {
    TIniFile ini(platform, SettingsPath(platform));
    ini.WriteInteger(kUninstaller, "ViewStyle", view.ViewStyle);
    for (std::size_t i = 0; i < view.ColumnWidths.size(); ++i) {
        ini.WriteInteger(kUninstaller, "Column" + std::to_string(i), view.ColumnWidths[i]);
    }
    ini.UpdateFile();
}

} // namespace cv
