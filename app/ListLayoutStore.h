// The startup page's list layout, kept in the registry under
// HKEY_CURRENT_USER: column widths, sort column and order, view style.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace cv {

inline constexpr const char* kStartupLayoutKey = "Software\\Moxtel\\Clearvane\\StartupForm";

struct TListLayout {
    std::vector<int> Widths;
    bool Ascending = true;
    int SortColumn = 0;
    int ViewStyle = 0;
};

class TListLayoutStore {
public:
    explicit TListLayoutStore(const TPlatform& platform, std::string key = kStartupLayoutKey);

    // The stored layout over the design's: missing widths keep the design's,
    // a width that is no number keeps its column's design width, the sort
    // column is held to the columns there are, and a view style outside 0 to
    // 3 leaves the design's.
    TListLayout Load(const TListLayout& design) const;
    // Throws ERegistryError when the registry refuses.
    void Save(const TListLayout& layout) const;

private:
    const TPlatform& FPlatform;
    std::string FKey;
};

} // namespace cv
