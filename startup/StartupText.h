// The words the startup page shows for its entries and its totals.
#pragma once

#include "startup/StartupItem.h"

#include <string>
#include <vector>

namespace cv {

// The store as the list's Source column names it; empty for no store. The
// machine's Run keys of the 32-bit view say so.
std::string SourceText(TRunFrom runFrom, TRegView view = kRegViewNative);
// The entry's store, and "(off in Windows)" after it while Windows' own
// record switches it off.
std::string SourceText(const TStartupItem& item);
// What the page tells of an entry Windows switched off, with the time it
// was when known; empty for any other entry.
std::string OffInWindowsText(const TStartupItem& item, const ILocale& locale);
// The store as the new-entry dialog offers it, in the order of TRunFrom.
const std::vector<std::string>& RunFromChoices();
// "Total %d applications run at startup", and the values a read passed
// over because they hold no command, named once.
std::string StartupTotalText(std::size_t count, const std::vector<std::string>& skipped);

} // namespace cv
