#include "startup/StartupText.h"

namespace cv {

std::string SourceText(TRunFrom runFrom, TRegView view) {
    switch (runFrom) {
    case TRunFrom::rfAllUsersFolder:
        return "All Users Startup Folder";
    case TRunFrom::rfCurrentUserFolder:
        return "Current User Startup Folder";
    case TRunFrom::rfAllUsersKey:
        return (view & kRegView32) != 0 ? "All Users Key (32-bit)" : "All Users Key";
    case TRunFrom::rfCurrentUserKey:
        return "Current User Key";
    }
    return {};
}

std::string SourceText(const TStartupItem& item) {
    const auto* entry = dynamic_cast<const TRegistryStartupItem*>(&item);
    return SourceText(item.RunFrom, entry != nullptr ? entry->View : kRegViewNative) +
           (item.OffInWindows ? " (off in Windows)" : "");
}

std::string OffInWindowsText(const TStartupItem& item, const ILocale& locale) {
    if (!item.OffInWindows) {
        return {};
    }
    const std::string when =
        item.OffInWindowsSince != 0 ? " on " + LocalDateTimeText(item.OffInWindowsSince, locale) : "";
    return "\"" + item.DisplayName + "\" was switched off in Windows" + when +
           " (Task Manager's Startup tab) and does not run at startup. Show switches it on again.";
}

const std::vector<std::string>& RunFromChoices() {
    static const std::vector<std::string> choices = {"All Users Startup Folder",
                                                     "Current User Startup Folder", "All Users Registry Key",
                                                     "Current User Registry Key"};
    return choices;
}

namespace {

// "HKLM\...\Run\Name": short enough for the status bar, plain enough to find.
std::string ShortValuePath(const std::string& path) {
    for (const auto& [root, abbreviation] :
         {std::pair{"HKEY_LOCAL_MACHINE\\Software\\", "HKLM\\"},
          std::pair{"HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\", "HKLM\\WOW6432Node\\"},
          std::pair{"HKEY_CURRENT_USER\\Software\\", "HKCU\\"}}) {
        const std::string prefix = std::string(root) + "Microsoft\\Windows\\CurrentVersion\\";
        if (path.rfind(prefix, 0) == 0) {
            return abbreviation + std::string("...\\") + path.substr(prefix.size());
        }
    }
    return path;
}

} // namespace

std::string StartupTotalText(std::size_t count, const std::vector<std::string>& skipped) {
    std::string text = "Total " + std::to_string(count) + " applications run at startup";
    if (skipped.size() == 1) {
        text += "; skipped \"" + ShortValuePath(skipped.front()) + "\": it holds no command";
    } else if (!skipped.empty()) {
        text += "; skipped " + std::to_string(skipped.size()) + " values that hold no command: ";
        for (std::size_t i = 0; i < skipped.size(); ++i) {
            text += (i == 0 ? "\"" : ", \"") + ShortValuePath(skipped[i]) + "\"";
        }
    }
    return text;
}

} // namespace cv
