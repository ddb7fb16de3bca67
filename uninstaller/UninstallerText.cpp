#include "uninstaller/UninstallerText.h"

#include "platform/StrCon.h"

namespace cv {

std::string TotalText(int appCount, int badCount) {
    return "Total " + std::to_string(appCount) + " applications," + std::to_string(badCount) + " bad entries";
}

TAdvice AdviceFor(const TUninstallItem& entry) {
    if (entry.Bad) {
        return {"    This application: \"" + entry.DisplayName +
                    "\" has possibly been destroied and can't be uninstalled correctly.But you still can "
                    "delete the entry from registry.",
                true};
    }
    return {"    This application \"" + entry.DisplayName +
                "\" can be safely uninstalled.Press below \"Uninstall\" button to perform.",
            false};
}

bool CaptionMatches(const std::string& caption, const std::string& text) {
    return !text.empty() && StrCon().PosFrom(text, caption, true, 0) != 0;
}

std::string NotStartedText(const std::string& command, const std::string& reason) {
    return "Cannot start the uninstaller:\r\n" + command + "\r\n" + reason;
}

std::string StillRunningText(const std::string& name) {
    return "The uninstaller of \"" + name +
           "\" is still running, so its entry stays.\r\nWhen it has finished, Refresh shows whether it "
           "removed its entry.";
}

std::string LeftAloneText(const std::vector<std::string>& changed, const std::vector<std::string>& back) {
    if (changed.empty() && back.empty()) {
        return {};
    }
    std::string text = "Left alone, as they are not what the list showed:";
    for (const std::string& name : changed) {
        text += "\r\n-\"" + name + "\": its entry was changed since the list was read";
    }
    for (const std::string& name : back) {
        text += "\r\n-\"" + name + "\": its files are back";
    }
    return text + "\r\nRefresh the list to see them as they are now.";
}

int ValidViewStyle(int stored) {
    return stored >= 0 && stored <= 3 ? stored : 0;
}

} // namespace cv
