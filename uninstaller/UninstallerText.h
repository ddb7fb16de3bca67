// The uninstaller page's texts and its search rule, apart from any window.
#pragma once

#include "inventory/UninstallItem.h"

#include <string>
#include <vector>

namespace cv {

// The status bar's totals.
std::string TotalText(int appCount, int badCount);

// The information panel's advice for the entry; red for a bad entry,
// navy otherwise.
struct TAdvice {
    std::string Text;
    bool Warning = false;
};
TAdvice AdviceFor(const TUninstallItem& entry);

// The search: the caption contains the text in any letter case; an empty
// text matches nothing.
bool CaptionMatches(const std::string& caption, const std::string& text);

// What the user is told when an uninstaller did not start: the command and
// the system's reason.
std::string NotStartedText(const std::string& command, const std::string& reason);

// What the user is told when the instruction dialog closes while the
// uninstaller, or a program it started, still runs.
std::string StillRunningText(const std::string& name);

// What the user is told of entries a delete left alone because reading
// their keys again showed other values (changed) or their files again
// (back); empty when there are none.
std::string LeftAloneText(const std::vector<std::string>& changed, const std::vector<std::string>& back);

// A stored view style outside the four the list knows falls back to large icons.
int ValidViewStyle(int stored);

} // namespace cv
