// The user's regional settings as the program reads them: how dates, times
// and numbers are written, and how texts are ordered.
#pragma once

#include <string>

namespace cv {

enum class TDateOrder { MDY, DMY, YMD };

struct TLocaleFormat {
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    TDateOrder DateOrder = TDateOrder::MDY;
};

class ILocale {
public:
    virtual ~ILocale() = default;
    // Read afresh on each call: the user may change the settings while the program runs.
    virtual TLocaleFormat Format() const = 0;
    // The locale's case-sensitive comparison of two texts: below, at or above 0.
    virtual int CompareText(const std::string& a, const std::string& b) const = 0;
};

} // namespace cv
