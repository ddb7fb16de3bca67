// The user's locale from the system's regional settings.
#pragma once

#include "platform/Locale.h"

namespace cv {

class TWin32Locale : public ILocale {
public:
    TLocaleFormat Format() const override;
    int CompareText(const std::string& a, const std::string& b) const override;
    TCivilTime LocalTimeOf(std::uint64_t utcFileTime) const override;
};

} // namespace cv
